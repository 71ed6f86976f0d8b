#include "app/widgets/PictureView.h"

#include "browser/StoredPicture.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

PictureView::PictureView(QLabel* box, StoredPicture* picture)
    : QObject(box), box_(box), picture_(picture)
{
    picture_->SetBoxSize(box_->size(), box_->devicePixelRatioF());
    box_->installEventFilter(this);
    connect(picture_, &StoredPicture::Shown, this, &PictureView::Show);
}

bool PictureView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_ && event->type() == QEvent::Resize)
        picture_->SetBoxSize(box_->size(), box_->devicePixelRatioF());
    return QObject::eventFilter(watched, event);
}

void PictureView::Show(const QImage& picture, bool stored)
{
    QPixmap pixmap = QPixmap::fromImage(picture);
    if (stored) // decoded for the box's device pixels
        pixmap.setDevicePixelRatio(box_->devicePixelRatioF());
    box_->setPixmap(pixmap);
}
