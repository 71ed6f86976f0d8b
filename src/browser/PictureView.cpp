#include "browser/PictureView.h"

#include "browser/PictureDecode.h"

#include <QImageReader>
#include <QLabel>

QPixmap PlaceholderBitmap(int bitmapRef)
{
    return QPixmap(QStringLiteral(":/bitmap%1.png").arg(bitmapRef));
}

PictureView::PictureView(QLabel* box)
    : QObject(box), box_(box), worker_(std::make_unique<LatestJobThread>())
{
    QImageReader::setAllocationLimit(PictureAllocationLimitMb);
}

// The worker is stopped first: after that nothing more is posted to this object.
PictureView::~PictureView()
{
    worker_.reset();
}

void PictureView::ShowPlaceholder(int bitmapRef)
{
    ++request_; // a picture still being decoded is no longer wanted
    box_->setPixmap(PlaceholderBitmap(bitmapRef));
    emit Shown(false);
}

void PictureView::ShowPicture(const QString& path, int bitmapRef)
{
    const quint64 request = ++request_;
    const QSize size = box_->size() * box_->devicePixelRatioF();
    worker_->Post([this, request, path, size, bitmapRef] {
        QImage picture = DecodePicture(path, size);
        QMetaObject::invokeMethod(
            this,
            [this, request, picture = std::move(picture), bitmapRef] {
                Apply(request, picture, bitmapRef);
            },
            Qt::QueuedConnection);
    });
}

void PictureView::Apply(quint64 request, const QImage& picture, int bitmapRef)
{
    if (request != request_)
        return;
    if (picture.isNull()) {
        ShowPlaceholder(bitmapRef);
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(box_->devicePixelRatioF());
    box_->setPixmap(pixmap);
    emit Shown(true);
}
