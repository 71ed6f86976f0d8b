// Thousands of random user actions on the whole window (buttons, command labels,
// tabs, the console's two entries, the speed list) while the virtual board is
// plugged and pulled at random moments, goes silent, chunks its replies,
// answers nonsense and has its component operations fail. Nothing may crash or
// leak (the sanitizer build runs this too), no reply wait may outlast its
// limit, a download always gives the console back, and the link works at the end.
//
// The seed is printed; Q815_SOAK_SEED=<n> repeats a run, Q815_SOAK_ACTIONS=<n>
// sets its length.
#include "WindowFixture.h"
#include "app/TabStrip.h"
#include "app/pages/ClickLabel.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <random>

namespace {

constexpr int TimeLimitMs = 40;
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
const QList<QByteArray> LengthReplies = {"OK :0000", "OK :zz12", "OK :",        "OK :FFFF",
                                         "OK :2F",   "fail1",    "OK :ABCD1234"};
const QStringList TypedCommands = {
    "C:20", "C:03A", "C:10 9", "C:02#", "C:15#",
    "C:16", "C:9Z",  "X:40",   "",      QStringLiteral("C:") + QString(140, u'x')};
const QStringList Entries = {"0123456789ABCDEF",
                             "0123456789ABCDEF and more",
                             "0123456789abcdef",
                             "FFFFFFFFFFFFFFF",
                             "XYZ",
                             ""};
const int ChunkSizes[] = {0, 0, 1, 3, 64, 511, 512, 513, 4096};
const int FaultTimes[] = {1, 1, 1, 2, 5, -1}; // -1: until the board is healed

struct Soak {
    std::mt19937_64 rng;
    WindowFixture& f;
    QList<QAbstractButton*> buttons = f.window.findChildren<QAbstractButton*>();
    QList<ClickLabel*> labels = f.window.findChildren<ClickLabel*>();
    int pending = 0; // steps scheduled for later
    qint64 longestWaitMs = 0;
    int downloads = 0;
    int quietAfterDownload = 0;

    int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <typename T, std::size_t N> const T& Any(const T (&items)[N])
    {
        return items[Pick(int(N))];
    }
    template <typename List> const auto& Any(const List& items)
    {
        return items[Pick(int(items.size()))];
    }

    void Later(int ms, std::function<void()> step)
    {
        ++pending;
        QTimer::singleShot(ms, &f.bus, [this, step = std::move(step)] {
            --pending;
            step();
        });
    }

    // Now and then it looks like a positive reply.
    QByteArray RandomBytes(int count)
    {
        QByteArray bytes = Chance(30) ? QByteArray("OK :").left(count) : QByteArray();
        while (bytes.size() < count)
            bytes.append(char(Pick(256)));
        return bytes;
    }

    void Type(const char* box, const QString& text)
    {
        auto* line = f.Get<QLineEdit>(box);
        line->setText(text);
        QTest::keyClick(line, Chance(85) ? Qt::Key_Return : Qt::Key_Backspace);
    }

    void Act()
    {
        usb::VirtualBoard& board = f.board;
        switch (Pick(16)) {
        case 0: // the download buttons more often than the others
            f.Get<QAbstractButton>(Chance(50) ? "cmdDwnldPic" : "cmdDwnldPicSer")->click();
            break;
        case 1:
            Any(buttons)->click();
            break;
        case 2:
            QTest::mouseClick(Any(labels), Qt::LeftButton);
            break;
        case 3: // the shown tab is clicked again now and then
            Control<TabStrip>(f.window, "TabStrip1")
                ->Select(Chance(25) ? Control<TabStrip>(f.window, "TabStrip1")->SelectedIndex()
                                    : 1 + Pick(7));
            break;
        case 4:
            Type("cmdEntry", Any(Entries));
            break;
        case 5:
            Type("CmdCommandLine", Any(TypedCommands));
            break;
        case 6: {
            const int index = Pick(8);
            Control<QComboBox>(f.window, "lstBaud")->setCurrentIndex(index);
            Q_EMIT Control<QComboBox>(f.window, "lstBaud")->activated(index);
            break;
        }
        case 7:
        case 8: // pulled now or in the middle of what the next actions start
            if (!f.bus.Boards().contains(&board)) {
                f.bus.Plug(&board);
            } else {
                const int pullAfter = Chance(30) ? 0 : Pick(4 * TimeLimitMs);
                Later(pullAfter, [this] { f.bus.Unplug(&f.board); });
                Later(pullAfter + Pick(6 * TimeLimitMs), [this] { f.bus.Plug(&f.board); });
            }
            break;
        case 9:
            board.SetSilent(Chance(30));
            board.SetReplyChunkSize(Any(ChunkSizes));
            board.SetReplyDelay(Chance(50) ? 0 : Pick(2 * TimeLimitMs));
            break;
        case 10:
            board.ScriptReply(Chance(50) ? "C:02#" : "C:15#", {Any(LengthReplies)});
            board.ScriptReply("C:20", {RandomBytes(Pick(2000)), RandomBytes(Pick(2000))});
            break;
        case 11: {
            const QByteArray bytes = RandomBytes(1 + Pick(Chance(10) ? 70000 : 600));
            Chance(50) ? board.SendOnCommandIn(bytes) : board.SendOnFileIn(bytes);
            break;
        }
        case 12: {
            int count = 0;
            const usb::Status* statuses = usb::FailureStatuses(count);
            f.bus.InjectFault(Chance(80) ? QString::fromLatin1(Any(ObjectNames)) : QString(),
                              QString::fromLatin1(Any(Operations)), statuses[Pick(count)], Pick(6),
                              Any(FaultTimes));
            if (Chance(50))
                Later(Pick(10 * TimeLimitMs), [this] { f.bus.ClearFaults(); });
            break;
        }
        case 13:
            Heal();
            break;
        default: { // the user waits a moment; whatever is due meanwhile happens
            QEventLoop idle;
            QTimer::singleShot(Pick(3 * TimeLimitMs), &idle, &QEventLoop::quit);
            idle.exec();
        }
        }
    }

    // The board behaves again; everything scheduled runs.
    void Heal()
    {
        f.bus.ClearFaults();
        f.board.SetSilent(false);
        f.board.SetReplyChunkSize(0);
        f.board.SetReplyDelay(0);
    }
};

} // namespace

class SoakTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void randomUse();
};

void SoakTest::randomUse()
{
    bool given = false;
    quint64 seed = qEnvironmentVariable("Q815_SOAK_SEED").toULongLong(&given);
    if (!given)
        seed = QRandomGenerator::global()->generate64();
    int actions = qEnvironmentVariableIntValue("Q815_SOAK_ACTIONS", &given);
    if (!given)
        actions = 3000;
    qInfo("soak: Q815_SOAK_SEED=%llu Q815_SOAK_ACTIONS=%d", seed, actions);
    const QByteArray where = "seed " + QByteArray::number(seed);

    QTemporaryDir appFolder;
    QVERIFY(appFolder.isValid());
    // Small pictures for the camera, so downloads stay short.
    const QList<QByteArray> frames = {RenderTestPicture(80, 60, 0), RenderTestPicture(160, 120, 1)};
    WindowFixture f(usb::EndpointLayout::Full, true, [&](WindowFixture& w) {
        w.link.SetReplyTimeLimit(TimeLimitMs);
        w.board.SetPictureRenderer(
            [frames](int, int, int frame) { return frames[frame % frames.size()]; });
    });
    f.tool.AppFolder = appFolder.path();
    f.tool.ReadFilePath = appFolder.filePath(QStringLiteral("readfile.jpg"));
    f.window.show();
    const PictureDownload* download = f.window.findChild<PictureDownload*>();

    Soak soak{std::mt19937_64(seed), f};
    QObject::connect(&f.link, &BoardLink::ReplyWaitEnded, [&](qint64 ns) {
        soak.longestWaitMs = std::max(soak.longestWaitMs, ns / 1000000);
    });
    QObject::connect(download, &PictureDownload::DownloadEnded, [&] {
        ++soak.downloads;
        soak.quietAfterDownload += f.link.State().ConsoleQuiet;
    });
    for (int i = 0; i < actions; ++i) {
        soak.Act();
        f.tool.AppFolder = appFolder.path(); // the Disk tab points it at its own folder
        const QByteArray at = where + " action " + QByteArray::number(i);
        QVERIFY2(!f.link.Waiting(), "a wait is still open between actions: " + at);
        QVERIFY2(download->Running() || !f.link.State().ConsoleQuiet,
                 "the console stayed quiet: " + at);
    }

    // Healed, everything scheduled has happened, the last download has ended;
    // then a fresh plug-in gives a working link.
    soak.Heal();
    QTRY_VERIFY_WITH_TIMEOUT(soak.pending == 0 && !download->Running(), 10000);
    if (f.bus.Boards().contains(&f.board))
        f.bus.Unplug(&f.board);
    QTRY_COMPARE(f.window.windowTitle(), QString::fromLatin1(CaptionNoUnit));
    f.bus.Plug(&f.board);
    QTRY_COMPARE(Control<QLineEdit>(f.window, "TxtUSB")->text(), QStringLiteral("USB OK"));
    f.link.SetReplyTimeLimit(3000);
    auto* entry = f.Get<QLineEdit>("cmdEntry");
    entry->setText(QStringLiteral("0123456789ABCDEF"));
    QTest::keyClick(entry, Qt::Key_Return);
    QVERIFY2(f.Get<QLineEdit>("retString")->text().startsWith(QStringLiteral("ACK ")), where);

    qInfo("soak: longest wait %lld ms, %d downloads, %lld messages", soak.longestWaitMs,
          soak.downloads, qlonglong(f.messages.size()));
    QVERIFY2(soak.longestWaitMs <= TimeLimitMs + WaitSlackMs, where);
    QCOMPARE(soak.quietAfterDownload, 0);
    QVERIFY(soak.downloads > 0);
    for (const QString& message : std::as_const(f.messages))
        QVERIFY2(!message.isEmpty() && !message.startsWith("unknown USB status"),
                 qPrintable(message));
}

QTEST_MAIN(SoakTest)
#include "test_soak.moc"
