// Sending one command block and waiting for the board's reply.
#include "link/CommandExchange.h"

#include "link/BoardProtocol.h"
#include "link/InputGate.h"
#include "link/ReceivePath.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

using usb::Status;
using usb::UsbObject;

namespace {
const QString NoUsb = QStringLiteral("No USB");
} // namespace

CommandExchange::CommandExchange(LinkState& state, ReceivePath& receive, QObject* parent)
    : QObject(parent), s_(state)
{
    connect(&receive, &ReceivePath::ReplyCame, this, &CommandExchange::QuitWait);
    connect(&receive, &ReceivePath::BoardGone, this, &CommandExchange::BoardLeft);
}

QString CommandExchange::DownLoadCommand(const QString& CmdStr)
{
    return Exchange(CmdStr).text;
}

ExchangeResult CommandExchange::Exchange(const QString& command)
{
    // A command is never sent from inside the wait of another one: its reply
    // would end the outer wait and the outer reply would be lost.
    if (waitLoop_ != nullptr)
        return {QStringLiteral("FAIL another command is waiting for its reply"), Outcome::NotSent};
    if (!FitsCommandBlock(command))
        return {QStringLiteral("FAIL command longer than 128 characters"), Outcome::NotSent};
    if (shuttingDown_)
        return {NoUsb, Outcome::Closed};
    if (s_.USBPipeOUT == nullptr)
        return {NoUsb, Outcome::NoBoard};

    s_.CommandBlock = QByteArray(CommandBlockSize, '\0');
    RecreateZeroed(s_.ReplyBuffer, s_.InBufferSize + 1);
    s_.OutBufferSize = CommandBlockSize;
    s_.OutBufferCount = 1;
    s_.OutErrorLimit = 5;
    s_.OutWriting = false;
    s_.ReplyArrived = false;
    s_.CommandBlock = MakeCommandBlock(command);

    s_.OutStatus = s_.USBPipeOUT->ClearPipe();
    if (s_.OutStatus != 0) {
        s_.OutWriting = false;
        return {NoUsb, Outcome::NoBoard};
    }
    s_.OutStatus = s_.USBPipeOUT->BeginWriting(s_.OutBufferSize, s_.OutBufferCount,
                                               s_.OutErrorLimit, s_.WriteStatusWanted);
    if (s_.OutStatus != 0) {
        ShowStatusMessage(s_.OutStatus);
        s_.OutWriting = false;
        return {NoUsb, Outcome::NoBoard};
    }
    s_.OutWriting = true;
    // Fill every free buffer with the block.
    s_.OutStatus = QueueUntilFull(*s_.USBPipeOUT, s_.CommandBlock, s_.WriteTag, s_.OutBufferCount);
    if (s_.OutStatus != 0 && s_.OutStatus != usb::StatusQueueFull) {
        ShowStatusMessage(s_.OutStatus);
        s_.OutWriting = false;
        return {NoUsb, Outcome::NoBoard};
    }

    const bool linkedBefore = s_.LinkUp;
    const bool arrived = AwaitReply(s_.ReplyTimeLimitMs);
    ExchangeResult result{ReplyText(s_.ReplyBuffer, s_.ChunkSize), Outcome::Done};
    if (shuttingDown_)
        result.outcome = Outcome::Closed;
    else if (arrived)
        result.outcome = HasPositivePrefix(s_.ReplyBuffer) ? Outcome::Done : Outcome::BoardFailure;
    else
        result.outcome =
            boardLeft_ || (linkedBefore && !s_.LinkUp) ? Outcome::Unplugged : Outcome::NoAnswer;
    return result;
}

bool CommandExchange::AwaitReply(int limitMs)
{
    // The deadline runs on a monotonic clock. User input is dropped meanwhile,
    // so no click or key starts a second exchange inside this one, nor a late
    // one after it; painting, plug events and the pipes' events go on.
    if (waitLoop_ != nullptr)
        return false;
    const InputGate::Closed noInput;
    const QDeadlineTimer deadline(limitMs, Qt::PreciseTimer);
    QElapsedTimer waited;
    waited.start();
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    waitLoop_ = &loop;
    boardLeft_ = false;
    while (!s_.ReplyArrived && !deadline.hasExpired() && !shuttingDown_ && !boardLeft_) {
        const qint64 remainingNs = deadline.remainingTimeNSecs();
        timer.start(std::chrono::milliseconds((remainingNs + 999999) / 1000000));
        loop.exec();
    }
    waitLoop_ = nullptr;
    Q_EMIT ReplyWaitEnded(waited.nsecsElapsed());
    return s_.ReplyArrived;
}

void CommandExchange::StopOutPipe()
{
    s_.OutWriting = false;
    s_.USBPipeOUT->EndWriting();
}

void CommandExchange::USBPipeOUT_WriteComplete(UsbObject* /*Obj*/)
{
    if (!s_.OutWriting)
        return;
    // The component wants more: queue the same block again until it is full.
    s_.DeviceStatus =
        QueueUntilFull(*s_.USBPipeOUT, s_.CommandBlock, s_.WriteTag, s_.OutBufferCount);
    if (s_.DeviceStatus == 0 || s_.DeviceStatus == usb::StatusQueueFull)
        return;
    s_.OutWriting = false;
    s_.USBPipeOUT->EndWriting();
    ShowStatusMessage(s_.DeviceStatus);
}

void CommandExchange::USBPipeOUT_WriteStatusAvailable(UsbObject* /*Obj*/)
{
    s_.DeviceStatus = s_.USBPipeOUT->FetchWriteStatus(s_.WriteTag);
    if (s_.DeviceStatus == 0)
        StopOutPipe();
    else
        ShowStatusMessage(s_.DeviceStatus);
}

void CommandExchange::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageRequested(StatusTextOf(s_, status));
}

void CommandExchange::Shutdown()
{
    shuttingDown_ = true;
    QuitWait();
}

void CommandExchange::BoardLeft()
{
    if (waitLoop_ == nullptr)
        return;
    boardLeft_ = true;
    waitLoop_->quit();
}

void CommandExchange::QuitWait()
{
    if (waitLoop_ != nullptr)
        waitLoop_->quit();
}
