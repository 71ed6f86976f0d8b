#include "app/widgets/FittingText.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QVariant>

namespace {

constexpr char DesignPointsProperty[] = "q815DesignPoints";
constexpr qreal SmallestPoints = 8.0;
constexpr int SmallestStretch = 60; // per cent of the face's own width

} // namespace

void SetFittingText(QLabel* label, const QString& text)
{
    // The size the label was built with, kept from the first call on.
    QVariant design = label->property(DesignPointsProperty);
    if (!design.isValid()) {
        design = label->font().pointSizeF();
        label->setProperty(DesignPointsProperty, design);
    }
    QFont font = label->font();
    qreal points = design.toReal();
    const qreal room = label->contentsRect().width();
    font.setPointSizeF(points);
    font.setStretch(QFont::Unstretched);
    while (points > SmallestPoints && QFontMetricsF(font).horizontalAdvance(text) > room) {
        points = qMax(SmallestPoints, points - 1.0);
        font.setPointSizeF(points);
    }
    // Still too wide at the smallest size (a wide face such as DejaVu Sans):
    // the letters are drawn narrower instead.
    for (int stretch = 95;
         stretch >= SmallestStretch && QFontMetricsF(font).horizontalAdvance(text) > room;
         stretch -= 5)
        font.setStretch(stretch);
    if (font != label->font())
        label->setFont(font);
    label->setText(text);
}
