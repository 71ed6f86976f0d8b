#pragma once
// Where q815ctl's output goes: results to standard output, messages (with the
// program's name in front) and the progress bar to standard error. Tests hand
// in buffers instead of the two streams. Every write of results is checked:
// the first one that fails is said with the system's reason, nothing more is
// written, and the run ends with ExitFailed.
#include <QIODevice>
#include <QJsonObject>
#include <QString>

// Exit statuses of q815ctl; a signal that ended a run gives 128 + its number
// (130 for Ctrl-C, 143 for SIGTERM).
enum CtlExit : int {
    ExitDone = 0,
    ExitFailed = 1,   // the board answered with a failure, a picture is bad, a write failed
    ExitUsage = 2,    // bad arguments
    ExitNoBoard = 3,  // no board, or it cannot be opened or take commands
    ExitNoAnswer = 4, // the board did not answer in time
};

// What went wrong, as "kind" of the "error" object of --json.
enum class CtlError { Usage, BoardFailure, BadPicture, Write, NoBoard, NoAnswer, Interrupted };

class CtlIo {
public:
    CtlIo(QIODevice& out, QIODevice& err, bool errIsTerminal)
        : out_(out), err_(err), errIsTerminal_(errIsTerminal)
    {
    }

    // One line of results (a line end is added).
    void Line(const QString& text);
    // Bytes of results as they are.
    void Write(const QByteArray& bytes);
    // One JSON document, indented; compact: on one line.
    void Json(const QJsonObject& document, bool compact = false);
    // "q815ctl: " + text, on standard error.
    void Message(const QString& text);
    // Usage errors: the message and where to find help; returns ExitUsage.
    int Usage(const QString& text, const QString& command = {});
    // A failure: said on standard error and, the first of a run, kept for
    // the JSON document. Returns its exit status (interrupted: 128 + signal).
    int Fail(CtlError kind, const QString& text, int signal = 0);

    // Standard output was closed when the program started (">&-"): every
    // write of results fails.
    void SetOutClosed() { outClosed_ = true; }
    // A write to standard output failed (said already).
    bool OutFailed() const { return outFailed_; }
    // {"kind", "message"} of the first failure; empty when none.
    QJsonObject FirstError() const { return firstError_; }
    // Lines of results that are no more than progress and summaries stay away.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    bool Quiet() const { return quiet_; }

    QIODevice& Err() { return err_; }
    bool ErrIsTerminal() const { return errIsTerminal_; }
    // Standard output is a terminal: a person reads it (headers, say).
    void SetOutIsTerminal(bool terminal) { outIsTerminal_ = terminal; }
    bool OutIsTerminal() const { return outIsTerminal_; }

private:
    QIODevice& out_;
    QIODevice& err_;
    bool errIsTerminal_;
    bool outIsTerminal_ = false;
    bool outFailed_ = false;
    bool outClosed_ = false;
    bool quiet_ = false;
    QJsonObject firstError_;
};
