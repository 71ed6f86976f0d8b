#pragma once
// Sending one command block on the command pipe and waiting for the board's
// reply, which the receive path brings in. The command pipe's state (its
// status word, the block, the write tags, the buffer count, whether it writes,
// whether the reply has arrived, how long to wait) is the exchange's alone; the
// download pipe re-queues the same block, so it is driven here too.
#include "link/LinkPipes.h"
#include "link/Outcome.h"

#include <QObject>
#include <functional>

class QEventLoop;
class ReceivePath;

class CommandExchange : public QObject {
    Q_OBJECT
public:
    // linked tells whether the board is open (a wait that ends with the board
    // gone is an unplug, not a silence).
    CommandExchange(const LinkPipes& pipes, ReceivePath& receive, std::function<bool()> linked,
                    QObject* parent = nullptr);

    // Sends one command and returns the reply text, "FAIL" + text, or "No USB".
    QString DownLoadCommand(const QString& CmdStr);
    // The same, with how it ended.
    ExchangeResult Exchange(const QString& command);
    // Sleeps in the event loop until a chunk arrives on the reply pipe, limitMs
    // pass or the window closes, dropping user input meanwhile. Returns
    // ReplyArrived.
    bool AwaitReply(int limitMs);
    // The same for the next chunk, whatever came before.
    bool AwaitNextChunk(int limitMs);
    // Data came on the reply pipe: the reply counts as arrived and a wait for
    // it ends.
    void MarkReplyArrived();
    void StopOutPipe();
    void USBPipeOUT_WriteComplete(usb::UsbObject* Obj);
    void USBPipeOUT_WriteStatusAvailable(usb::UsbObject* Obj);
    void USBPipeDWNLD_WriteComplete(usb::UsbObject* Obj);

    // True while a reply is awaited.
    bool Waiting() const { return waitLoop_ != nullptr; }
    // Data came on the reply pipe since the last command went out.
    bool ReplyHasArrived() const { return ReplyArrived; }
    // A command write is active on the command pipe.
    bool Writing() const { return OutWriting; }
    // How long a command waits for its reply (3000 ms unless shortened).
    void SetReplyTimeLimit(std::int32_t ms) { ReplyTimeLimitMs = ms; }
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

    const LinkPipes& pipes_;
    ReceivePath& receive_;
    std::function<bool()> linked_;
    usb::Status OutStatus = 0; // of USBPipeOUT and USBPipeDWNLD
    usb::Status DeviceStatus = 0;
    QByteArray CommandBlock; // the 128 bytes of the command being sent
    std::int32_t OutBufferSize = 128;
    std::int32_t OutBufferCount = 1;
    std::int32_t OutErrorLimit = 5;
    std::int32_t WriteTag = 0;
    std::int32_t DownloadWriteTag = 0;
    std::int32_t ReplyTimeLimitMs = 3000;
    bool OutWriting = false;
    bool ReplyArrived = false;
    QEventLoop* waitLoop_ = nullptr;
    bool shuttingDown_ = false;
    bool boardLeft_ = false; // during the current wait
};
