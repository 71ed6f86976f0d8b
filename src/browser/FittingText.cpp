#include "browser/FittingText.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QVariant>

namespace {

constexpr char DesignPointsProperty[] = "q815DesignPoints";
constexpr qreal SmallestPoints = 8.0;

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
    while (points > SmallestPoints && QFontMetricsF(font).horizontalAdvance(text) > room) {
        points = qMax(SmallestPoints, points - 1.0);
        font.setPointSizeF(points);
    }
    if (font != label->font())
        label->setFont(font);
    label->setText(text);
}
