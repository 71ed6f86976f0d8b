#pragma once
// Whether bytes that came from the camera hold one whole JPEG picture: they
// begin with the start marker FF D8, and an end marker FF D9 closes the picture
// within them. What follows the last end marker (zeros that fill the last
// block, say) is not part of the picture. A picture cut short after an
// embedded thumbnail's own end marker passes: the check looks for markers, it
// does not decode.
#include <QByteArray>
#include <QString>

struct JpegFrameCheck {
    QString problem; // why the bytes are not a whole picture; empty when they are
    bool Whole() const { return problem.isEmpty(); }
};

JpegFrameCheck CheckJpegFrame(const QByteArray& bytes);

inline bool IsWholeJpeg(const QByteArray& bytes)
{
    return CheckJpegFrame(bytes).Whole();
}
