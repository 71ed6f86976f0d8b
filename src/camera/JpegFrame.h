#pragma once
// Whether bytes that came from the camera are one whole JPEG picture: they
// begin with the start marker FF D8, and the end marker FF D9 closes the
// picture within them. Bytes after the end marker (what fills the last block)
// do not matter. The picture's segments are followed by their lengths and its
// scan data byte by byte, so an FF D9 inside a segment (a thumbnail's end, say)
// is not taken for the picture's end.
#include <QByteArray>
#include <QString>

struct JpegFrameCheck {
    qsizetype end = 0; // bytes up to and including the end marker, when whole
    QString problem;   // why the bytes are not a whole picture; empty when they are
    bool Whole() const { return problem.isEmpty(); }
};

JpegFrameCheck CheckJpegFrame(const QByteArray& bytes);

inline bool IsWholeJpeg(const QByteArray& bytes)
{
    return CheckJpegFrame(bytes).Whole();
}
