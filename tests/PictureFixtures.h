#pragma once
// Small picture files for the browser tests, each named after the fault it carries.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>

namespace fixtures {

// A valid baseline JPEG of the given size, with a gradient so it is not blank.
inline QByteArray Jpeg(int width = 64, int height = 48)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// The JPEG with its frame header claiming 65000 x 65000 pixels: decoding it
// whole would need about 16 gigabytes.
inline QByteArray HugeHeaderJpeg()
{
    QByteArray bytes = Jpeg();
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    // FF C0, length (2), precision (1), height (2), width (2)
    for (qsizetype at : {frame + 5, frame + 7}) {
        bytes[at] = char(0xFD);
        bytes[at + 1] = char(0xE8);
    }
    return bytes;
}

inline void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace fixtures
