#pragma once
// The board as a sub-command talks to it: the board link opened on a backend,
// every exchange sorted into an exit status, and what went wrong said on
// standard error.
#include "cli/CtlIo.h"
#include "link/BoardLink.h"
#include "selection/BoardSelection.h"

#include <QStringList>

// How long the board may take to answer one command.
inline constexpr int ReplyLimitMs = 3000;

// The exit status of an exchange or a picture fetch that ended so: no board
// (or it left) is ExitNoBoard, a reply that never came ExitNoAnswer, a failure
// that the board answered ExitFailed.
int ExitOf(Outcome outcome);

class CtlBoard : public QObject {
    Q_OBJECT
public:
    CtlBoard(usb::UsbBackend& backend, CtlIo& io, const BoardSelection& selection);

    // Creates the component objects and opens the board. ExitDone, or
    // ExitNoBoard after saying why not (none plugged in, access denied, busy,
    // or a board that takes no commands).
    int Open();
    BoardLink& Link() { return link_; }

    struct Reply {
        QString text; // what DownLoadCommand returned
        int exit = ExitDone;
    };
    // Sends one command; a failure is said on standard error.
    Reply Exchange(const QString& command);
    // Says what a failed exchange means on standard error.
    void Explain(const QString& command, const Reply& reply);

private:
    // Until the board is open its messages are gathered; from then on said.
    void Say(const QString& text);

    CtlIo& io_;
    BoardSelection selection_;
    usb::UsbBackend& backend_;
    BoardLink link_;
    QStringList messages_; // what the link or the backend had to say while opening
    bool open_ = false;
};
