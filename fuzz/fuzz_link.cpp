// The board link against a misbehaving virtual board: the input is a program of
// board behaviour (replies of any size and content, chunking, silence, unplug,
// plug, faults in component operations, data on the file pipe, length and block
// replies for the picture downloads) interleaved with command exchanges and
// picture downloads. Nothing may crash, hang or write outside a buffer, and a
// download always gives the console back.
#include "FuzzInput.h"
#include "LinkProbe.h"
#include "camera/PictureAssembler.h"
#include "camera/PictureDownload.h"
#include "camera/PictureFetch.h"
#include "firmware/FilePipes.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstddef>
#include <cstdint>

namespace {

const char* const ObjectNames[] = {"USBDevice",  "USBPipeDWNLD",  "USBPipeIN",
                                   "USBPipeOUT", "USBPipeFileIN", "USBPipeFileOUT"};
const char* const Operations[] = {
    "AttachDevice", "ClearPipe",        "BeginReading",   "FetchData",    "BeginWriting",
    "QueueData",    "FetchWriteStatus", "AssignEndpoint", "ReadTransfer", "WriteTransfer"};
// Length requests and block requests of the three download routines.
const char* const LengthRequests[] = {"C:02#", "C:12#", "C:15#"};
const char* const BlockRequests[] = {"C:02 ", "C:12 ", "C:15 "};

QTemporaryDir* AppFolder = nullptr;

// A download into the fuzzer's folder.
struct Download {
    QString folder;
    std::int16_t bitmap = 101;
    PictureAssembler picture;
    PictureDownload routines;
    Download(BoardLink& link)
        : folder(AppFolder->path()), picture(link), routines(link, picture, folder, bitmap)
    {
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    AppFolder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    board.SetPaced(false); // as many runs a second as can be
    usb::SimBackend backend(bus);
    BoardLink link(backend);
    link.SetReplyTimeLimit(5);
    if (link.CreateObjects() != 0)
        return 0;
    FilePipes pipes(link, [] { return QString(); });
    const QByteArray fileData(64, 'f');
    Download download(link);
    FuzzInput in{data, size};
    board.SetLayout(usb::EndpointLayout(in.Byte() % 3), in.Byte() & 1);
    bus.Plug(&board);
    link.StartLink();
    download.picture.StartOver(PictureAssembler::DownloadSize);

    int failures = 0;
    const usb::Status* statuses = usb::FailureStatuses(failures);
    for (int step = 0; step < 64 && in.More(); ++step) {
        const int op = in.Byte() % 18;
        switch (op) {
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
            link.DownLoadCommand(QStringLiteral("C:20"));
            break;
        case 5:
            pipes.SendFile(fileData);
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
            link.RestartPictureFill();
            break;
        case 10:
            if (in.Byte() & 1)
                link.BeginPictureCapture();
            else
                link.EndPictureCapture();
            break;
        case 11:
            board.SetReplyChunkSize(in.Byte());
            break;
        case 12: // the next length reply
            board.ScriptReply(LengthRequests[in.Byte() % 3], {in.Bytes(in.Byte() % 16)});
            break;
        case 13: { // the next block replies, or the stream of a UART download
            QList<QByteArray> chunks;
            const int count = 1 + in.Byte() % 4;
            for (int i = 0; i < count; ++i)
                chunks << in.Bytes(std::size_t(in.Byte()) * (1 + in.Byte() % 8));
            board.ScriptReply(BlockRequests[in.Byte() % 3], chunks, in.Byte() & 1);
            break;
        }
        case 14:
        case 15:
        case 16: {
            const bool toMemory = in.Byte() & 1;
            if (toMemory && op < 16)
                FetchPicture(link, download.picture, op == 14 ? SpiRoute() : UartRoute());
            else if (op == 14)
                download.routines.DownLoadPicSPI();
            else if (op == 15)
                download.routines.DownLoadPicUART();
            else
                download.routines.DownLoadPic12();
            // A download that has ended gives the console back.
            if (!download.routines.Running() && Probe(link).Receive().Quiet())
                __builtin_trap();
            break;
        }
        case 17: // pulled in the middle of whatever comes next
            QTimer::singleShot(in.Byte() % 8, &bus, [&bus, &board] { bus.Unplug(&board); });
            break;
        }
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return 0;
}
