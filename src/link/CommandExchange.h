#pragma once
// Sending one command block on the command pipe and waiting for the board's
// reply, which the receive path brings in.
#include "link/LinkState.h"
#include "link/Outcome.h"

#include <QObject>

class QEventLoop;
class ReceivePath;

class CommandExchange : public QObject {
    Q_OBJECT
public:
    CommandExchange(LinkState& state, ReceivePath& receive, QObject* parent = nullptr);

    // Sends one command and returns the reply text, "FAIL" + text, or "No USB".
    QString DownLoadCommand(const QString& CmdStr);
    // The same, with how it ended.
    ExchangeResult Exchange(const QString& command);
    // Sleeps in the event loop until a chunk arrives on the reply pipe, limitMs
    // pass or the window closes, dropping user input meanwhile. Returns
    // ReplyArrived; clear it first to wait for the next chunk.
    bool AwaitReply(int limitMs);
    void StopOutPipe();
    void USBPipeOUT_WriteComplete(usb::UsbObject* Obj);
    void USBPipeOUT_WriteStatusAvailable(usb::UsbObject* Obj);

    // True while a reply is awaited.
    bool Waiting() const { return waitLoop_ != nullptr; }
    // The window is closing: ends a wait at once and sends nothing more.
    void Shutdown();
    // The open board has left: a wait in progress ends at once with what its
    // time limit would have given.
    void BoardLeft();
    bool ShuttingDown() const { return shuttingDown_; }

Q_SIGNALS:
    // A message box with the text of a failed status word.
    void MessageRequested(const QString& text);
    // The wait for a reply has ended after waitedNs (watchdogs, tests).
    void ReplyWaitEnded(qint64 waitedNs);

private:
    void ShowStatusMessage(usb::Status status);
    void QuitWait();

    LinkState& s_;
    QEventLoop* waitLoop_ = nullptr;
    bool shuttingDown_ = false;
    bool boardLeft_ = false; // during the current wait
};
