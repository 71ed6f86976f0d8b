#include "camera/JpegFrame.h"

namespace {

constexpr unsigned char Marker = 0xFF;
constexpr unsigned char StartOfImage = 0xD8;
constexpr unsigned char EndOfImage = 0xD9;
constexpr unsigned char StartOfScan = 0xDA;

bool StandsAlone(unsigned char code) // markers without a length: TEM and RST0..RST7
{
    return code == 0x01 || (code >= 0xD0 && code <= 0xD7);
}

JpegFrameCheck Problem(const QString& text)
{
    return JpegFrameCheck{0, text};
}

JpegFrameCheck Truncated()
{
    return Problem(QStringLiteral("the picture ends before its end marker (FF D9)"));
}

} // namespace

JpegFrameCheck CheckJpegFrame(const QByteArray& bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n < 2 || b[0] != Marker || b[1] != StartOfImage)
        return Problem(QStringLiteral("the picture does not begin with the JPEG start marker "
                                      "(FF D8)"));
    qsizetype i = 2;
    while (true) {
        if (i >= n)
            return Truncated();
        if (b[i] != Marker)
            return Problem(QStringLiteral("the picture is broken at byte %1").arg(i));
        while (i < n && b[i] == Marker) // fill bytes may precede a marker
            ++i;
        if (i >= n)
            return Truncated();
        const unsigned char code = b[i++];
        if (code == EndOfImage)
            return JpegFrameCheck{i, {}};
        if (StandsAlone(code))
            continue;
        if (code == StartOfImage)
            return Problem(QStringLiteral("the picture starts again at byte %1").arg(i - 2));
        if (i + 2 > n)
            return Truncated();
        const qsizetype length = (qsizetype(b[i]) << 8) | b[i + 1];
        if (length < 2)
            return Problem(QStringLiteral("the picture is broken at byte %1").arg(i));
        i += length;
        if (code != StartOfScan)
            continue;
        // Scan data: an FF in it is followed by 00 (a data byte) or a restart
        // marker; anything else is the next marker.
        while (i < n && !(b[i] == Marker && i + 1 < n && b[i + 1] != 0x00
                          && !(b[i + 1] >= 0xD0 && b[i + 1] <= 0xD7)))
            i += b[i] == Marker ? 2 : 1;
    }
}
