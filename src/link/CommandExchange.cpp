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

CommandExchange::CommandExchange(const LinkPipes& pipes, ReceivePath& receive,
                                 std::function<bool()> linked, QObject* parent)
    : QObject(parent), pipes_(pipes), receive_(receive), linked_(std::move(linked))
{
    connect(&receive, &ReceivePath::ReplyCame, this, &CommandExchange::MarkReplyArrived);
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
    if (pipes_.USBPipeOUT == nullptr)
        return {NoUsb, Outcome::NoBoard};

    CommandBlock = QByteArray(CommandBlockSize, '\0');
    receive_.ZeroReply();
    OutBufferSize = CommandBlockSize;
    OutBufferCount = 1;
    OutErrorLimit = 5;
    OutWriting = false;
    ReplyArrived = false;
    CommandBlock = MakeCommandBlock(command);

    OutStatus = pipes_.USBPipeOUT->ClearPipe();
    if (OutStatus != 0) {
        OutWriting = false;
        return {NoUsb, Outcome::NoBoard};
    }
    OutStatus = pipes_.USBPipeOUT->BeginWriting(OutBufferSize, OutBufferCount, OutErrorLimit,
                                                WriteStatusWanted);
    if (OutStatus != 0) {
        ShowStatusMessage(OutStatus);
        OutWriting = false;
        return {NoUsb, Outcome::NoBoard};
    }
    OutWriting = true;
    // Fill every free buffer with the block.
    OutStatus = QueueUntilFull(*pipes_.USBPipeOUT, CommandBlock, WriteTag, OutBufferCount);
    if (OutStatus != 0 && OutStatus != usb::StatusQueueFull) {
        ShowStatusMessage(OutStatus);
        OutWriting = false;
        return {NoUsb, Outcome::NoBoard};
    }

    const bool linkedBefore = linked_();
    const bool arrived = AwaitReply(ReplyTimeLimitMs);
    const QByteArray& reply = receive_.LastReply();
    ExchangeResult result{ReplyText(reply, receive_.LastReadSize()), Outcome::Done};
    if (shuttingDown_)
        result.outcome = Outcome::Closed;
    else if (arrived)
        result.outcome = HasPositivePrefix(reply) ? Outcome::Done : Outcome::BoardFailure;
    else
        result.outcome =
            boardLeft_ || (linkedBefore && !linked_()) ? Outcome::Unplugged : Outcome::NoAnswer;
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
    while (!ReplyArrived && !deadline.hasExpired() && !shuttingDown_ && !boardLeft_) {
        const qint64 remainingNs = deadline.remainingTimeNSecs();
        timer.start(std::chrono::milliseconds((remainingNs + 999999) / 1000000));
        loop.exec();
    }
    waitLoop_ = nullptr;
    Q_EMIT ReplyWaitEnded(waited.nsecsElapsed());
    return ReplyArrived;
}

bool CommandExchange::AwaitNextChunk(int limitMs)
{
    ReplyArrived = false;
    return AwaitReply(limitMs);
}

void CommandExchange::MarkReplyArrived()
{
    ReplyArrived = true;
    QuitWait();
}

void CommandExchange::StopOutPipe()
{
    OutWriting = false;
    pipes_.USBPipeOUT->EndWriting();
}

void CommandExchange::USBPipeOUT_WriteComplete(UsbObject* /*Obj*/)
{
    if (!OutWriting)
        return;
    // The component wants more: queue the same block again until it is full.
    DeviceStatus = QueueUntilFull(*pipes_.USBPipeOUT, CommandBlock, WriteTag, OutBufferCount);
    if (DeviceStatus == 0 || DeviceStatus == usb::StatusQueueFull)
        return;
    OutWriting = false;
    pipes_.USBPipeOUT->EndWriting();
    ShowStatusMessage(DeviceStatus);
}

void CommandExchange::USBPipeOUT_WriteStatusAvailable(UsbObject* /*Obj*/)
{
    DeviceStatus = pipes_.USBPipeOUT->FetchWriteStatus(WriteTag);
    if (DeviceStatus == 0)
        StopOutPipe();
    else
        ShowStatusMessage(DeviceStatus);
}

void CommandExchange::USBPipeDWNLD_WriteComplete(UsbObject* /*Obj*/)
{
    if (!OutWriting)
        return;
    DownloadWriteTag = 1;
    OutStatus =
        QueueUntilFull(*pipes_.USBPipeDWNLD, CommandBlock, DownloadWriteTag, OutBufferCount);
    if (OutStatus == 0 || OutStatus == usb::StatusQueueFull)
        return;
    OutWriting = false;
    pipes_.USBPipeDWNLD->EndWriting();
    ShowStatusMessage(OutStatus);
}

void CommandExchange::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageRequested(StatusTextOf(pipes_, status));
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
