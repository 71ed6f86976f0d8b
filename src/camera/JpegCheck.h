#pragma once
// Whether a picture from the camera came over whole: a JPEG begins with its
// start marker FF D8 and carries its end marker FF D9 somewhere after it.
#include <QByteArray>

bool IsWholeJpeg(const QByteArray& picture);
