#pragma once
// Where q815ctl's output goes: results to standard output, messages (with the
// program's name in front) and the progress bar to standard error. Tests hand
// in buffers instead of the two streams.
#include <QIODevice>
#include <QJsonValue>
#include <QString>

// Exit statuses of q815ctl.
enum CtlExit : int {
    ExitDone = 0,
    ExitFailed = 1,   // the board answered with a failure, or a picture is bad
    ExitUsage = 2,    // bad arguments
    ExitNoBoard = 3,  // no board, or it cannot be opened or take commands
    ExitNoAnswer = 4, // the board did not answer in time
};

class CtlIo {
public:
    CtlIo(QIODevice& out, QIODevice& err, bool errIsTerminal)
        : out_(out), err_(err), errIsTerminal_(errIsTerminal)
    {
    }

    // One line of results (a line end is added).
    void Line(const QString& text);
    // One JSON document, indented.
    void Json(const QJsonValue& document);
    // "q815ctl: " + text, on standard error.
    void Message(const QString& text);
    // Usage errors: the message and where to find help; returns ExitUsage.
    int Usage(const QString& text, const QString& command = {});
    QIODevice& Out() { return out_; }
    QIODevice& Err() { return err_; }
    bool ErrIsTerminal() const { return errIsTerminal_; }

private:
    QIODevice& out_;
    QIODevice& err_;
    bool errIsTerminal_;
};
