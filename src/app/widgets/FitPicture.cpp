#include "app/widgets/FitPicture.h"

#include <QPainter>

FitPicture::FitPicture(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FitPicture::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void FitPicture::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (picture_.isNull())
        return;
    QRect place(QPoint(), picture_.size().scaled(size(), Qt::KeepAspectRatio));
    place.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(place, picture_);
}
