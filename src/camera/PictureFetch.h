#pragma once
// One picture from the board into the picture assembler, by the commands of a
// route: the capture, the length request, then the picture's blocks one by
// one or its one stream; with how it ended. The window's download writes and
// shows what this fetches; the live view and q815ctl keep it in memory.
#include "link/Outcome.h"

#include <QByteArray>
#include <QString>
#include <functional>

class BoardLink;
class PictureAssembler;
struct PictureRoute;

struct PictureResult {
    // How the board's side went: Done when every request was answered;
    // NoAnswer, Unplugged, NoBoard or Closed when one was not (a download
    // that loses a block reply still goes on, with zeros for its bytes).
    Outcome outcome = Outcome::Done;
    // Why no picture came ("No Sync", "FAIL", the board's text, a folder that
    // cannot be made ...), as the window shows it; empty when one came.
    QString message;
    qsizetype length = 0; // L, the picture's length in bytes
    int steps = 1;        // the progress steps: the block requests, or 1 for a stream
    // The whole picture buffer as the fetch left it: the picture, then what
    // else the buffer held (raw replies, zeros).
    QByteArray buffer;

    bool Fetched() const { return message.isEmpty() && outcome != Outcome::Closed; }
    QByteArray Picture() const { return buffer.left(length); }
};

// What the caller does between the steps. A text returned by beforeLength
// (the download's folder) or by lengthKnown (its file) ends the fetch with it.
struct FetchSteps {
    std::function<QString()> beforeLength;
    std::function<QString(qsizetype length)> lengthKnown;
    std::function<void(int value, int maximum)> progress;
};

// NotSent, and nothing done, while another fetch fills the same assembler.
PictureResult FetchPicture(BoardLink& link, PictureAssembler& assembler, const PictureRoute& route,
                           const FetchSteps& steps = {});
