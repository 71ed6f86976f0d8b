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
    worker_->Drop(); // a picture still being decoded is no longer wanted
    path_.clear();
    Q_EMIT Shown(PlaceholderBitmap(bitmapRef), false);
}

void StoredPicture::ShowPicture(const QString& path, int bitmapRef)
{
    path_ = path;
    bitmapRef_ = bitmapRef;
    Decode();
}

void StoredPicture::Decode()
{
    decodedFor_ = boxSize_;
    worker_->Post(
        this, [path = path_, size = boxSize_ * pixelRatio_] { return DecodePicture(path, size); },
        [this, bitmapRef = bitmapRef_](const QImage& picture) { Apply(picture, bitmapRef); });
}

void StoredPicture::Apply(const QImage& picture, int bitmapRef)
{
    if (picture.isNull())
        ShowPlaceholder(bitmapRef);
    else
        Q_EMIT Shown(picture, true);
}
