// The one receive path for everything the board sends on its input pipe:
// replies, console text and picture bytes.
#include "link/ReceivePath.h"

#include "link/BoardProtocol.h"

#include <limits>

using usb::UsbObject;

ReceivePath::ReceivePath(LinkState& state, QObject* parent) : QObject(parent), s_(state) {}

void ReceivePath::USBPipeIN_ReadComplete(UsbObject* /*Obj*/)
{
    if (!s_.InReading)
        return;
    s_.InStatus = 0;
    // The echoed text grows over all chunks of this event.
    QString text;
    while (s_.InStatus == 0) {
        std::int32_t byteCount = 0;
        s_.InStatus = s_.USBPipeIN->FetchData(s_.ReplyBuffer, byteCount);
        if (s_.InStatus != 0)
            break;
        s_.ReplyArrived = true;
        s_.ChunkSize = byteCount;
        const qsizetype count = std::clamp<qsizetype>(byteCount, 0, s_.ReplyBuffer.size());
        text += BytesToText(s_.ReplyBuffer.constData(), count);

        // The chunk goes to the picture at PictureFill.
        if (s_.PictureSink != nullptr)
            s_.PictureSink->StoreReplyChunk(s_.PictureFill, s_.ReplyBuffer.constData(), count);
        if (count > 0)
            EchoToConsole(text);
        const qint64 fill = qint64(s_.PictureFill) + s_.ChunkSize;
        s_.PictureFill =
            std::int32_t(std::min<qint64>(fill, std::numeric_limits<std::int32_t>::max()));
    }
    if (s_.InStatus != usb::StatusNoData) {
        // A failed read ends reading; later commands time out until the board
        // is opened again.
        s_.InReading = false;
        s_.USBPipeIN->EndReading();
        if (s_.InStatus == usb::StatusDeviceGone)
            Q_EMIT BoardGone();
    } else if (s_.PictureFill == 256) {
        s_.ReplyArrived = true;
    }
    if (s_.ReplyArrived)
        Q_EMIT ReplyCame();
}

void ReceivePath::EchoToConsole(const QString& text)
{
    // The console is emptied, not trimmed, when it would reach the limit.
    if (consoleLength_ + text.size() < ConsoleLimit) {
        if (!s_.ConsoleQuiet) {
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
