#include "app/pages/PageFrame.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

PageFrame::PageFrame(const QString& title, QWidget* parent) : QFrame(parent), title_(title)
{
    setAutoFillBackground(true);
    if (!title_.isEmpty())
        setAccessibleName(title_);
}

void PageFrame::paintEvent(QPaintEvent* event)
{
    if (title_.isEmpty()) {
        QFrame::paintEvent(event);
        return;
    }
    // An etched box whose top line the caption interrupts. Drawn here rather
    // than by the style's group box, which tints the inside on some styles: the
    // labels on the page fill their background with the window colour.
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect box = rect().adjusted(0, metrics.height() / 2, 0, 0);
    qDrawShadeRect(&painter, box, palette(), true, 1, 0);
    const QRect caption(8, 0, metrics.horizontalAdvance(title_) + 6, metrics.height());
    painter.fillRect(caption, palette().window());
    style()->drawItemText(&painter, caption, Qt::AlignCenter, palette(), isEnabled(), title_,
                          QPalette::WindowText);
}
