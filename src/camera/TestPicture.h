#pragma once
// The test picture that the virtual board's camera captures: colour bars, the
// frame counter and the picture size, encoded as a JPEG.
#include <QByteArray>

// A JPEG of width x height pixels showing frame frameNumber. Needs a
// QGuiApplication (text is drawn with the application's fonts).
QByteArray RenderTestPicture(int width, int height, int frameNumber);
