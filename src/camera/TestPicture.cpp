#include "camera/TestPicture.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <array>

namespace {

// The classic seven bars, brightest first.
constexpr std::array<QRgb, 7> BarColours{0xFFC0C0C0, 0xFFC0C000, 0xFF00C0C0, 0xFF00C000,
                                         0xFFC000C0, 0xFFC00000, 0xFF0000C0};

// The length reply has four hex digits: a picture must stay below 64 KiB.
constexpr int MaxPictureBytes = 0xFFFF;

void DrawBars(QPainter& painter, int width, int height)
{
    const int count = int(BarColours.size());
    for (int i = 0; i < count; ++i) {
        const int left = width * i / count;
        const int right = width * (i + 1) / count;
        painter.fillRect(left, 0, right - left, height,
                         QColor::fromRgb(BarColours[std::size_t(i)]));
    }
}

// A black band with white text in the lower part of the picture.
void DrawCaption(QPainter& painter, const QRect& band, const QString& text)
{
    painter.fillRect(band, Qt::black);
    QFont font = painter.font();
    font.setPixelSize(qMax(6, band.height() * 3 / 4));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter, text);
}

// A small white square that walks along the top edge, one step per frame, so
// consecutive frames differ at a glance.
void DrawFrameMarker(QPainter& painter, int width, int height, int frameNumber)
{
    const int side = qMax(2, height / 10);
    const int steps = qMax(1, width / side);
    painter.fillRect((frameNumber % steps) * side, 0, side, side, Qt::white);
}

QByteArray Encode(const QImage& image, int quality)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    return jpeg;
}

} // namespace

QByteArray RenderTestPicture(int width, int height, int frameNumber)
{
    QImage image(qMax(1, width), qMax(1, height), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        DrawBars(painter, image.width(), image.height());
        DrawFrameMarker(painter, image.width(), image.height(), frameNumber);
        const int band = qMax(8, image.height() / 6);
        DrawCaption(painter, QRect(0, image.height() * 5 / 8 - band, image.width(), band),
                    QStringLiteral("#%1").arg(frameNumber));
        DrawCaption(painter, QRect(0, image.height() * 5 / 8, image.width(), band),
                    QStringLiteral("%1x%2").arg(width).arg(height));
    }
    QByteArray jpeg;
    for (int quality : {85, 60, 30}) {
        jpeg = Encode(image, quality);
        if (jpeg.size() <= MaxPictureBytes)
            break;
    }
    return jpeg;
}
