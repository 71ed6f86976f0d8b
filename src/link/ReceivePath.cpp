// The one receive path for everything the board sends on its input pipe:
// replies, console text and picture bytes.
#include "link/BoardLink.h"
#include "link/CommandBlock.h"

#include <limits>

using usb::UsbObject;

void BoardLink::USBPipeIN_ReadComplete(UsbObject* /*Obj*/)
{
    if (!InReading)
        return;
    InStatus = 0;
    // The echoed text grows over all chunks of this event.
    QString text;
    while (InStatus == 0) {
        std::int32_t byteCount = 0;
        InStatus = USBPipeIN->FetchData(ReplyBuffer, byteCount);
        if (InStatus != 0)
            break;
        ReplyArrived = true;
        ChunkSize = byteCount;
        const qsizetype count = std::clamp<qsizetype>(byteCount, 0, ReplyBuffer.size());
        text += BytesToText(ReplyBuffer.constData(), count);

        // Copy the chunk to PictureBuffer at PictureFill; what would land past
        // its end is dropped.
        const qint64 start = PictureFill;
        const qint64 room = PictureBuffer.size() - start;
        if (start >= 0 && room > 0) {
            const qsizetype n = std::min<qint64>(count, room);
            std::copy_n(ReplyBuffer.constData(), n, PictureBuffer.data() + start);
        }
        if (count > 0)
            EchoToConsole(text);
        const qint64 fill = qint64(PictureFill) + ChunkSize;
        PictureFill = std::int32_t(std::min<qint64>(fill, std::numeric_limits<std::int32_t>::max()));
    }
    if (InStatus != usb::StatusNoData) {
        // A failed read ends reading; later commands time out until the board
        // is opened again.
        InReading = false;
        USBPipeIN->EndReading();
    } else if (PictureFill == 256) {
        ReplyArrived = true;
    }
    if (ReplyArrived)
        QuitWait();
}

void BoardLink::EchoToConsole(const QString& text)
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

void BoardLink::ClearConsole()
{
    consoleLength_ = 0;
    Q_EMIT ConsoleEmptied();
}
