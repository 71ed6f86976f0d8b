#include "browser/PictureView.h"

#include "browser/PictureDecode.h"

#include <QEvent>
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
    box_->installEventFilter(this);
}

// The worker is stopped first: after that nothing more is posted to this object.
PictureView::~PictureView()
{
    worker_.reset();
}

void PictureView::ShowPlaceholder(int bitmapRef)
{
    ++request_; // a picture still being decoded is no longer wanted
    path_.clear();
    box_->setPixmap(PlaceholderBitmap(bitmapRef));
    emit Shown(false);
}

void PictureView::ShowPicture(const QString& path, int bitmapRef)
{
    path_ = path;
    bitmapRef_ = bitmapRef;
    Decode();
}

// A picture decoded for a smaller box would be stretched, and blurred, when the
// box grows: decode it again for the new size. A shrinking box scales it down.
bool PictureView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_ && event->type() == QEvent::Resize && !path_.isEmpty() &&
        (box_->width() > decodedFor_.width() || box_->height() > decodedFor_.height()))
        Decode();
    return QObject::eventFilter(watched, event);
}

void PictureView::Decode()
{
    const quint64 request = ++request_;
    decodedFor_ = box_->size();
    const QSize size = box_->size() * box_->devicePixelRatioF();
    const QString path = path_;
    const int bitmapRef = bitmapRef_;
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
