#pragma once
// The board as a sub-command talks to it: the board link opened on a backend,
// every exchange sorted into an exit status, and what went wrong said on
// standard error. A signal (Interrupt) ends the exchange that waits at once.
#include "cli/CtlCommand.h"
#include "link/BoardLink.h"
#include "selection/BoardSelection.h"

#include <QStringList>

// The exit status of an exchange or a picture fetch that ended so: no board
// (or it left) is ExitNoBoard, a reply that never came ExitNoAnswer, a failure
// that the board answered ExitFailed.
int ExitOf(Outcome outcome);

class CtlBoard : public QObject {
    Q_OBJECT
public:
    explicit CtlBoard(CtlContext& context);

    // Creates the component objects and opens the board. ExitDone, or
    // ExitNoBoard after saying why not (none plugged in, several and none
    // chosen, access denied, busy, or a board that takes no commands).
    int Open();
    BoardLink& Link() { return link_; }

    struct Reply {
        QString text; // what DownLoadCommand returned
        int exit = ExitDone;
    };
    // Sends one command; a failure is said on standard error. After a signal
    // nothing is sent and the exit is 128 + the signal.
    Reply Exchange(const QString& command);
    // Says what a failed exchange means on standard error; returns its exit.
    int Explain(const QString& command, const Reply& reply);
    // After a signal: 128 + the signal (RunCtl says so); else 0.
    int Interrupted();

    QString LimitText() const; // "3 s"

private:
    // Until the board is open its messages are gathered; from then on said.
    void Say(const QString& text);
    // More than one board matches the ids, port and serial: ExitNoBoard.
    int RefuseSeveral();

    CtlContext& c_;
    BoardLink link_;
    QStringList messages_; // what the link or the backend had to say while opening
    bool open_ = false;
};
