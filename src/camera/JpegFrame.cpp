#include "camera/JpegFrame.h"

JpegFrameCheck CheckJpegFrame(const QByteArray& bytes)
{
    if (!bytes.startsWith(QByteArrayLiteral("\xFF\xD8")))
        return {QStringLiteral("it does not begin with the JPEG start marker FF D8")};
    const qsizetype last = bytes.lastIndexOf(QByteArrayLiteral("\xFF\xD9"));
    if (last < 2)
        return {QStringLiteral("no end marker FF D9 closes it: it was cut short")};
    return {};
}
