// Sending one command block and waiting for the board's reply.
#include "link/BoardLink.h"
#include "link/CommandBlock.h"
#include "link/InputGate.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

using usb::Status;
using usb::UsbObject;

namespace {
const QString NoUsb = QStringLiteral("No USB");
} // namespace

QString BoardLink::DownLoadCommand(const QString& CmdStr)
{
    // A command is never sent from inside the wait of another one: its reply
    // would end the outer wait and the outer reply would be lost.
    if (waitLoop_ != nullptr)
        return QStringLiteral("FAIL another command is waiting for its reply");
    if (CmdStr.size() > CommandBlockSize)
        return QStringLiteral("FAIL command longer than 128 characters");
    if (shuttingDown_ || USBPipeOUT == nullptr)
        return NoUsb;

    CommandBlock = QByteArray(CommandBlockSize, '\0');
    RecreateZeroed(ReplyBuffer, InBufferSize + 1);
    OutBufferSize = CommandBlockSize;
    OutBufferCount = 1;
    OutErrorLimit = 5;
    OutWriting = false;
    ReplyArrived = false;
    CommandBlock = MakeCommandBlock(CmdStr);

    OutStatus = USBPipeOUT->ClearPipe();
    if (OutStatus != 0) {
        OutWriting = false;
        return NoUsb;
    }
    OutStatus =
        USBPipeOUT->BeginWriting(OutBufferSize, OutBufferCount, OutErrorLimit, WriteStatusWanted);
    if (OutStatus != 0) {
        ShowStatusMessage(OutStatus);
        OutWriting = false;
        return NoUsb;
    }
    OutWriting = true;
    // Fill every free buffer with the block; a sane component says QueueFull once
    // its buffers are taken, the bound only guards against one that never does.
    for (int attempt = 0;; ++attempt) {
        OutStatus = USBPipeOUT->QueueData(CommandBlock, WriteTag);
        if (OutStatus != 0 || attempt > OutBufferCount)
            break;
    }
    if (OutStatus != 0 && OutStatus != usb::StatusQueueFull) {
        ShowStatusMessage(OutStatus);
        OutWriting = false;
        return NoUsb;
    }

    AwaitReply(ReplyTimeLimitMs);
    return ReplyText(ReplyBuffer, ChunkSize);
}

bool BoardLink::AwaitReply(int limitMs)
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
    while (!ReplyArrived && !deadline.hasExpired() && !shuttingDown_) {
        const qint64 remainingNs = deadline.remainingTimeNSecs();
        timer.start(std::chrono::milliseconds((remainingNs + 999999) / 1000000));
        loop.exec();
    }
    waitLoop_ = nullptr;
    Q_EMIT ReplyWaitEnded(waited.nsecsElapsed());
    return ReplyArrived;
}

void BoardLink::StopOutPipe()
{
    OutWriting = false;
    USBPipeOUT->EndWriting();
}

void BoardLink::USBPipeOUT_WriteComplete(UsbObject* /*Obj*/)
{
    if (!OutWriting)
        return;
    // The component wants more: queue the same block again until it is full.
    for (int attempt = 0;; ++attempt) {
        DeviceStatus = USBPipeOUT->QueueData(CommandBlock, WriteTag);
        if (DeviceStatus != 0 || attempt > OutBufferCount)
            break;
    }
    if (DeviceStatus == 0 || DeviceStatus == usb::StatusQueueFull)
        return;
    OutWriting = false;
    USBPipeOUT->EndWriting();
    ShowStatusMessage(DeviceStatus);
}

void BoardLink::USBPipeOUT_WriteStatusAvailable(UsbObject* /*Obj*/)
{
    DeviceStatus = USBPipeOUT->FetchWriteStatus(WriteTag);
    if (DeviceStatus == 0)
        StopOutPipe();
    ReportStatus(DeviceStatus);
}
