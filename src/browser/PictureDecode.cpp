#include "browser/PictureDecode.h"

#include <QImageReader>

QImage DecodePicture(const QString& path, const QSize& size)
{
    QImageReader reader(path);
    if (!reader.canRead())
        return {};
    const QSize full = reader.size();
    if (size.isValid() && !size.isEmpty() && full.isValid())
        reader.setScaledSize(size);
    QImage picture;
    if (!reader.read(&picture))
        return {};
    return picture;
}
