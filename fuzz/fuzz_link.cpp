// The board link against a misbehaving virtual board: the input is a program of
// board behaviour (replies of any size and content, chunking, silence, unplug,
// plug, faults in component operations, data on the file pipe) interleaved with
// command exchanges. Nothing may crash, hang or write outside a buffer.
#include "firmware/FilePipes.h"
#include "link/BoardLink.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

namespace {

const char* const ObjectNames[] = {"USBDevice",  "USBPipeDWNLD",  "USBPipeIN",
                                   "USBPipeOUT", "USBPipeFileIN", "USBPipeFileOUT"};
const char* const Operations[] = {"AttachDevice", "ClearPipe",    "BeginReading",
                                  "FetchData",    "BeginWriting", "QueueData",
                                  "FetchWriteStatus", "AssignEndpoint", "ReadTransfer",
                                  "WriteTransfer"};

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool More() const { return at < size; }
    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    QByteArray Bytes(std::size_t count)
    {
        count = std::min(count, size - at);
        QByteArray bytes(reinterpret_cast<const char*>(data + at), qsizetype(count));
        at += count;
        return bytes;
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    usb::SimBackend backend(bus);
    BoardLink link(backend);
    link.ReplyTimeLimitMs = 5;
    if (link.CreateObjects() != 0)
        return 0;
    FilePipes pipes(link, [] { return QString(); });
    Reader in{data, size};
    board.SetLayout(usb::EndpointLayout(in.Byte() % 3), in.Byte() & 1);
    bus.Plug(&board);
    link.StartLink();
    link.PictureBuffer = QByteArray(65356, '\0');

    int failures = 0;
    const usb::Status* statuses = usb::FailureStatuses(failures);
    for (int step = 0; step < 64 && in.More(); ++step) {
        switch (in.Byte() % 12) {
        case 0: { // the next reply to "C:20": chunks of any size
            QList<QByteArray> chunks;
            const int count = 1 + in.Byte() % 4;
            for (int i = 0; i < count; ++i)
                chunks << in.Bytes(std::size_t(in.Byte()) * (1 + in.Byte() % 64));
            board.ScriptReply("C:20", chunks);
            break;
        }
        case 1:
            board.SendOnCommandIn(in.Bytes(std::size_t(in.Byte()) * (1 + in.Byte())));
            break;
        case 2:
            bus.Unplug(&board);
            break;
        case 3:
            bus.Plug(&board);
            break;
        case 4:
        case 5:
            link.DownLoadCommand(QStringLiteral("C:20"));
            break;
        case 6:
            board.SetSilent(in.Byte() & 1);
            break;
        case 7:
            bus.InjectFault(QString::fromLatin1(ObjectNames[in.Byte() % 6]),
                            QString::fromLatin1(Operations[in.Byte() % 10]),
                            statuses[in.Byte() % failures], in.Byte() % 3, 1 + in.Byte() % 3);
            break;
        case 8:
            board.SendOnFileIn(in.Bytes(std::size_t(in.Byte()) * 4));
            break;
        case 9:
            link.PictureFill = std::int32_t(in.Byte() << 8 | in.Byte()) * (in.Byte() & 1 ? 1 : -1);
            break;
        case 10:
            link.ConsoleQuiet = in.Byte() & 1;
            break;
        case 11:
            board.SetReplyChunkSize(in.Byte());
            break;
        }
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return 0;
}
