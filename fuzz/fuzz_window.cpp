// The whole window against a misbehaving virtual board: the input is a program of
// user actions (any button, command label or tab, the console's two entries, the
// speed list, a resize) interleaved with plugging and pulling the board at
// moments of its choosing, silence, slow and chunked replies and failing
// component operations. What the board answers is fuzz_link's part; this one is
// after the window's reentrancy: a click, a tab change or an unplug arriving
// while another action waits for the board.
//
// Nothing may crash or leak, no reply wait may outlast its limit, no wait may
// stay open between actions, a download always gives the console back, no
// message is empty or an unknown status, and once the board behaves again a
// fresh plug-in gives a working link.
#include "ControlByName.h"
#include "FuzzInput.h"
#include "LinkProbe.h"
#include "app/SimulatedWindow.h"
#include "app/TabStrip.h"
#include "app/pages/ClickLabel.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int TimeLimitMs = 20;
// A wait ends at the first pass of the event loop after its deadline; what runs
// in that pass (a picture decoded) may delay it this much.
constexpr qint64 WaitSlackMs = 1500;

const char* const ObjectNames[] = {"USBDevice",  "USBPipeDWNLD",  "USBPipeIN",
                                   "USBPipeOUT", "USBPipeFileIN", "USBPipeFileOUT"};
const char* const Operations[] = {
    "ScanDevices",        "AttachDevice",     "DetachDevice", "DefineInterface",  "ClearInterfaces",
    "ApplyConfiguration", "AssignEndpoint",   "ClearPipe",    "BeginReading",     "FetchData",
    "EndReading",         "BeginWriting",     "QueueData",    "FetchWriteStatus", "EndWriting",
    "PreparePlugEvents",  "EnablePlugEvents", "ReadTransfer", "WriteTransfer"};
const char* const TypedCommands[] = {"C:20", "C:03A", "C:10 9", "C:02#", "C:15#",
                                     "C:16", "C:9Z",  "X:40",   ""};
const char* const Entries[] = {"0123456789ABCDEF",
                               "0123456789ABCDEF and more",
                               "0123456789abcdef",
                               "FFFFFFFFFFFFFFF",
                               "XYZ",
                               ""};
const int ChunkSizes[] = {0, 1, 3, 64, 511, 512, 513, 4096};

template <typename T, std::size_t N> const T& Pick(const T (&items)[N], std::uint8_t byte)
{
    return items[byte % N];
}

[[noreturn]] void Broken(const char* what)
{
    std::fprintf(stderr, "fuzz_window: %s\n", what);
    std::abort();
}

QTemporaryDir* AppFolder = nullptr;

struct Rig : SimulatedWindow {
    QStringList messages;
    int pending = 0; // plugs and pulls scheduled for later
    qint64 longestWaitMs = 0;
    const PictureDownload* download = window.findChild<PictureDownload*>();

    Rig()
    {
        tool.AppFolder = AppFolder->path();
        tool.ReadFilePath = AppFolder->filePath(QStringLiteral("readfile.jpg"));
        board.SetPictureRenderer([](int, int, int frame) {
            return RenderTestPicture(80 * (1 + frame % 2), 60 * (1 + frame % 2), frame);
        });
        link.SetReplyTimeLimit(TimeLimitMs);
        QObject::connect(&link, &BoardLink::ReplyWaitEnded, [this](qint64 ns) {
            longestWaitMs = std::max(longestWaitMs, ns / 1000000);
        });
        window.SetMessageSink([this](const QString& text) { messages << text; });
        board.SetPaced(false); // as many runs a second as can be
        bus.Plug(&board);
        if (!window.Form_Load())
            Broken("start-up failed");
        window.show();
    }

    template <typename T> T* Get(const char* name) { return Control<T>(window, name); }

    void Later(int ms, std::function<void()> step)
    {
        ++pending;
        QTimer::singleShot(ms, &bus, [this, step = std::move(step)] {
            --pending;
            step();
        });
    }

    void Type(const char* box, const char* text, bool enter)
    {
        auto* line = Get<QLineEdit>(box);
        line->setText(QString::fromLatin1(text));
        QTest::keyClick(line, enter ? Qt::Key_Return : Qt::Key_Backspace);
    }

    void Heal()
    {
        bus.ClearFaults();
        board.SetSilent(false);
        board.SetReplyChunkSize(0);
        board.SetReplyDelay(0);
    }

    void Act(FuzzInput& in)
    {
        switch (in.Byte() % 14) {
        case 0:
            Get<QAbstractButton>(in.Byte() & 1 ? "cmdDwnldPic" : "cmdDwnldPicSer")->click();
            break;
        case 1: {
            const auto buttons = window.findChildren<QAbstractButton*>();
            buttons.at(in.Byte() % buttons.size())->click();
            break;
        }
        case 2: {
            const auto labels = window.findChildren<ClickLabel*>();
            QTest::mouseClick(labels.at(in.Byte() % labels.size()), Qt::LeftButton);
            break;
        }
        case 3: { // 0 clicks the shown tab again
            auto* tabs = Get<TabStrip>("TabStrip1");
            const int tab = in.Byte() % 8;
            tabs->Select(tab == 0 ? tabs->SelectedIndex() : tab);
            break;
        }
        case 4:
            Type("cmdEntry", Pick(Entries, in.Byte()), in.Byte() % 8 != 0);
            break;
        case 5:
            Type("CmdCommandLine", Pick(TypedCommands, in.Byte()), in.Byte() % 8 != 0);
            break;
        case 6: {
            auto* speeds = Get<QComboBox>("lstBaud");
            const int index = in.Byte() % speeds->count();
            speeds->setCurrentIndex(index);
            Q_EMIT speeds->activated(index);
            break;
        }
        case 7: // pulled now or in the middle of what the next actions start
            if (!bus.Boards().contains(&board)) {
                bus.Plug(&board);
            } else {
                const int pullAfter = in.Byte() % (4 * TimeLimitMs);
                Later(pullAfter, [this] { bus.Unplug(&board); });
                Later(pullAfter + in.Byte() % (6 * TimeLimitMs), [this] { bus.Plug(&board); });
            }
            break;
        case 8:
            board.SetSilent(in.Byte() % 4 == 0);
            board.SetReplyChunkSize(Pick(ChunkSizes, in.Byte()));
            board.SetReplyDelay(in.Byte() % (2 * TimeLimitMs));
            break;
        case 9: {
            int count = 0;
            const usb::Status* statuses = usb::FailureStatuses(count);
            const std::uint8_t object = in.Byte();
            bus.InjectFault(object < 200 ? QString::fromLatin1(Pick(ObjectNames, object))
                                         : QString(),
                            QString::fromLatin1(Pick(Operations, in.Byte())),
                            statuses[in.Byte() % count], in.Byte() % 6,
                            in.Byte() % 8 == 0 ? -1 : 1 + in.Byte() % 3); // -1: until healed
            break;
        }
        case 10:
            Heal();
            break;
        case 11: // from far below the design size to far above it
            window.resize(200 + in.Byte() * 8, 150 + in.Byte() * 6);
            break;
        default: { // the user waits a moment; whatever is due meanwhile happens
            QEventLoop idle;
            QTimer::singleShot(in.Byte() % (3 * TimeLimitMs), &idle, &QEventLoop::quit);
            idle.exec();
        }
        }
    }

    // Healed, everything scheduled has happened and the last download has ended;
    // then a fresh plug-in gives a working link.
    void CheckRecovery()
    {
        Heal();
        if (!QTest::qWaitFor([this] { return pending == 0 && !download->Running(); }, 10000))
            Broken("a download or a scheduled plug did not end");
        if (bus.Boards().contains(&board))
            bus.Unplug(&board);
        if (!QTest::qWaitFor(
                [this] { return window.windowTitle() == QLatin1StringView(CaptionNoUnit); }, 5000))
            Broken("the unplug was not seen");
        bus.Plug(&board);
        if (!QTest::qWaitFor([this] { return Get<QLineEdit>("TxtUSB")->text() == "USB OK"; }, 5000))
            Broken("the board was not opened again");
        link.SetReplyTimeLimit(3000);
        Type("cmdEntry", Entries[0], true);
        if (!Get<QLineEdit>("retString")->text().startsWith(QStringLiteral("ACK ")))
            Broken("the link does not work after the board was healed");
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's input devices must not be torn down by the exit handlers.
    new QApplication(*argc, *argv);
    AppFolder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Rig rig;
    FuzzInput in{data, size};
    for (int step = 0; step < 48 && in.More(); ++step) {
        rig.Act(in);
        rig.tool.AppFolder = AppFolder->path(); // the Disk tab points it at its own folder
        if (rig.link.Waiting())
            Broken("a wait is still open between actions");
        if (!rig.download->Running() && Probe(rig.link).Receive().Quiet())
            Broken("the console stayed quiet after a download");
        if (rig.longestWaitMs > TimeLimitMs + WaitSlackMs)
            Broken("a reply wait outlasted its limit");
    }
    rig.CheckRecovery();
    for (const QString& message : std::as_const(rig.messages)) {
        if (message.isEmpty() || message.startsWith(QStringLiteral("unknown USB status")))
            Broken("an empty message or an unknown status was shown");
    }
    return 0;
}
