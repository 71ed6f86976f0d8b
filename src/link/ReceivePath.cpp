// The one receive path for everything the board sends on its input pipe:
// replies, console text and picture bytes.
#include "link/ReceivePath.h"

#include "link/BoardProtocol.h"

#include <limits>

using usb::UsbObject;

ReceivePath::ReceivePath(const LinkPipes& pipes, QObject* parent) : QObject(parent), pipes_(pipes)
{
}

usb::Status ReceivePath::StartReading()
{
    InBufferCount = 5;
    InErrorLimit = 5;
    InReading = false;
    RecreateZeroed(ReplyBuffer, InBufferSize + 1);
    InStatus = pipes_.USBPipeIN->ClearPipe();
    if (InStatus == 0) {
        InStatus = pipes_.USBPipeIN->BeginReading(InBufferSize, InBufferCount, InErrorLimit);
        if (InStatus == 0)
            InReading = true;
    }
    return InStatus;
}

void ReceivePath::StopReading()
{
    InReading = false;
    pipes_.USBPipeIN->EndReading();
}

void ReceivePath::USBPipeIN_ReadComplete(UsbObject* /*Obj*/)
{
    if (!InReading)
        return;
    InStatus = 0;
    // The echoed text grows over all chunks of this event.
    QString text;
    while (InStatus == 0) {
        std::int32_t byteCount = 0;
        InStatus = pipes_.USBPipeIN->FetchData(ReplyBuffer, byteCount);
        if (InStatus != 0)
            break;
        Q_EMIT ReplyCame();
        ChunkSize = byteCount;
        const qsizetype count = std::clamp<qsizetype>(byteCount, 0, ReplyBuffer.size());
        text += BytesToText(ReplyBuffer.constData(), count);

        // The chunk goes to the picture at PictureFill.
        if (PictureSink != nullptr)
            PictureSink->StoreReplyChunk(PictureFill, ReplyBuffer.constData(), count);
        if (count > 0)
            EchoToConsole(text);
        const qint64 fill = qint64(PictureFill) + ChunkSize;
        PictureFill =
            std::int32_t(std::min<qint64>(fill, std::numeric_limits<std::int32_t>::max()));
    }
    if (InStatus != usb::StatusNoData) {
        // A failed read ends reading; later commands time out until the board
        // is opened again.
        StopReading();
        if (InStatus == usb::StatusDeviceGone)
            Q_EMIT BoardGone();
    } else if (PictureFill == 256) {
        Q_EMIT ReplyCame();
    }
}

void ReceivePath::EchoToConsole(const QString& text)
{
    // The console is emptied, not trimmed, when it would reach the limit.
    if (consoleLength_ + text.size() < ConsoleLimit) {
        if (!ConsoleQuiet) {
            consoleLength_ += text.size() + 2;
            Q_EMIT ConsoleAppended(text);
        }
    } else {
        ClearConsole();
    }
}

void ReceivePath::ClearConsole()
{
    consoleLength_ = 0;
    Q_EMIT ConsoleEmptied();
}
