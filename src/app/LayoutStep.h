#pragma once
// One step of the resize layout: a control gets a new top, left edge, height or
// width in twips and keeps the rest of its place.
#include "app/ResizeLayout.h"
#include "app/Twips.h"

#include <QWidget>

inline void SetTop(QWidget* control, double twips)
{
    control->move(control->x(), TwipsToPixels(twips));
}
inline void SetLeft(QWidget* control, double twips)
{
    control->move(TwipsToPixels(twips), control->y());
}
inline void SetHeight(QWidget* control, double twips)
{
    control->resize(control->width(), TwipsToPixels(twips));
}
inline void SetWidth(QWidget* control, double twips)
{
    control->resize(TwipsToPixels(twips), control->height());
}
// A page's frame: its height, then its width.
inline void SetSize(QWidget* frame, const FrameSize& size)
{
    SetHeight(frame, size.height);
    SetWidth(frame, size.width);
}
