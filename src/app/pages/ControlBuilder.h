#pragma once
// Makes the widgets of a page from its table of control rows.
#include "app/pages/ControlRow.h"

class QWidget;

// Makes one widget per row inside parent, in row order, and hands it to the
// member its row is bound to. Later rows lie above earlier ones, and the
// focusable controls follow each other in the tab order in row order. Option
// buttons of one array share one exclusive QButtonGroup named after the array,
// with the array index as button id.
void BuildControls(QWidget* parent, const QList<ControlRow>& rows);

// Sets the background colour of a box or button.
void SetBackground(QWidget* widget, const QColor& colour);
