#pragma once
// Decoding a stored picture for the picture box, on a worker thread.
#include <QImage>
#include <QSize>
#include <QString>

// Largest picture, in megabytes of decoded pixels, that a reader may allocate.
// A header that claims more (a broken or hostile file) gives no picture.
constexpr int PictureAllocationLimitMb = 128;

// The picture in `path` decoded at `size` (stretched to it, as the picture
// box shows it). The JPEG reader then decodes at the nearest smaller DCT
// scale, so a 24-megapixel photo costs a fraction of a full decode. A
// truncated file gives what could be read; anything unreadable a null image.
QImage DecodePicture(const QString& path, const QSize& size);
