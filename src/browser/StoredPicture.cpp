#include "browser/StoredPicture.h"

#include "browser/PictureDecode.h"

#include <QImageReader>

QImage PlaceholderBitmap(int bitmapRef)
{
    return QImage(QStringLiteral(":/bitmap%1.png").arg(bitmapRef));
}

StoredPicture::StoredPicture(QObject* parent)
    : QObject(parent), worker_(std::make_unique<LatestJobThread>())
{
    QImageReader::setAllocationLimit(PictureAllocationLimitMb);
}

// The worker is stopped first: after that nothing more is posted to this object.
StoredPicture::~StoredPicture()
{
    worker_.reset();
}

void StoredPicture::SetBoxSize(const QSize& size, qreal pixelRatio)
{
    boxSize_ = size;
    pixelRatio_ = pixelRatio;
    if (!path_.isEmpty() &&
        (size.width() > decodedFor_.width() || size.height() > decodedFor_.height()))
        Decode();
}

void StoredPicture::ShowPlaceholder(int bitmapRef)
{
    ++request_; // a picture still being decoded is no longer wanted
    path_.clear();
    emit Shown(PlaceholderBitmap(bitmapRef), false);
}

void StoredPicture::ShowPicture(const QString& path, int bitmapRef)
{
    path_ = path;
    bitmapRef_ = bitmapRef;
    Decode();
}

void StoredPicture::Decode()
{
    const quint64 request = ++request_;
    decodedFor_ = boxSize_;
    const QSize size = boxSize_ * pixelRatio_;
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

void StoredPicture::Apply(quint64 request, const QImage& picture, int bitmapRef)
{
    if (request != request_)
        return;
    if (picture.isNull())
        ShowPlaceholder(bitmapRef);
    else
        emit Shown(picture, true);
}
