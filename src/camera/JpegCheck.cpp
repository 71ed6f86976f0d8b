#include "camera/JpegCheck.h"

bool IsWholeJpeg(const QByteArray& picture)
{
    static const QByteArray Start("\xFF\xD8", 2);
    static const QByteArray End("\xFF\xD9", 2);
    return picture.startsWith(Start) && picture.indexOf(End, Start.size()) >= 0;
}
