#pragma once
// The window's control inventory: the seven tab pages and the controls that lie
// on the window itself, each a table of control rows.
#include "app/pages/ControlRow.h"

struct TabPage {
    QString tab;                 // the tab's caption
    QString frameTitle;          // the frame's caption; empty for none
    int width, height;           // the frame's size in twips; every frame lies at 120, 360
    QList<ControlRow> (*rows)(); // the frame's controls
    bool runsAgain = false;      // a click on the shown tab runs the page's steps again
};

// Tab i (1-based) shows the frame of TabPages()[i - 1].
QList<TabPage> TabPages();

// Controls on the window outside the frames: the status box and the speed list.
QList<ControlRow> WindowRows();

QList<ControlRow> UnitPageRows();
QList<ControlRow> DiskPageRows();
QList<ControlRow> InformationPageRows();
QList<ControlRow> LivePageRows();
QList<ControlRow> TestPageRows();
QList<ControlRow> EmptyPageRows();
