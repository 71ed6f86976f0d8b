// Thousands of random user actions on the whole window (every button, command
// label, option, tab, the console's two entries, the speed list, resizes, the
// Disk page's boxes) while the virtual board is plugged and pulled at random
// moments, goes silent, chunks its replies, answers nonsense and has its
// component operations fail. Nothing may crash or leak (the sanitizer build
// runs this too), no reply wait may outlast its limit, a download always gives
// the console back, and the link works at the end.
//
// The run is seeded: the seed is printed, and Q815_SOAK_SEED=<n> repeats it
// (up to the timing of folder listings and picture decoding, which run on
// worker threads). Q815_SOAK_ACTIONS sets the number of actions.
#include "WindowFixture.h"
#include "app/TabStrip.h"
#include "app/pages/ClickLabel.h"
#include "browser/DiskNavigation.h"
#include "browser/FolderList.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <random>

namespace {

constexpr int TimeLimitMs = 40;
// A wait ends at the first pass of the event loop after its deadline; what runs
// in that pass (a picture decoded, a folder listed) may delay it this much.
constexpr qint64 WaitSlackMs = 1500;
constexpr int DefaultActions = 3000;

const char* const ObjectNames[] = {"USBDevice",  "USBPipeDWNLD",  "USBPipeIN",
                                   "USBPipeOUT", "USBPipeFileIN", "USBPipeFileOUT"};
const char* const Operations[] = {
    "ScanDevices",     "AttachDevice",    "DetachDevice",     "DefineInterface",
    "ClearInterfaces", "ApplyConfiguration", "AssignEndpoint", "ClearPipe",
    "BeginReading",    "FetchData",       "EndReading",       "BeginWriting",
    "QueueData",       "FetchWriteStatus", "EndWriting",      "PreparePlugEvents",
    "EnablePlugEvents", "ReadTransfer",   "WriteTransfer"};

const QList<QByteArray> LengthReplies = {"OK :0000", "OK :0",     "OK :00",   "OK :zz12",
                                         "OK :",     "OK :FFFF",  "OK :0FA0", "OK :2F",
                                         "fail1",    "OK :ABCD1234", "OK :1001", "FAIL"};

const QStringList TypedCommands = {
    "C:40", "C:20", "C:21", "C:03A", "C:031", "C:037", "C:10 3", "C:10 9", "C:05", "C:04",
    "C:02#", "C:02 ", "C:15#", "C:16", "C:0601", "C:9Z", "C:", "X:40", "",
    QStringLiteral("C:") + QString(140, u'x'), QStringLiteral("C:") + QString(126, u'7')};

class Soak {
public:
    Soak(quint64 seed, WindowFixture& f, const QString& appFolder, const QString& pictures)
        : rng_(seed), f_(f), appFolder_(appFolder), pictures_(pictures)
    {
        download_ = f.window.findChild<PictureDownload*>();
        disk_ = f.window.findChild<DiskNavigation*>();
        buttons_ = f.window.findChildren<QAbstractButton*>();
        labels_ = f.window.findChildren<ClickLabel*>();
        QObject::connect(&f.window.Link, &BoardLink::ReplyWaitEnded, [this](qint64 ns) {
            ++exchanges_;
            longestWaitMs_ = std::max(longestWaitMs_, ns / 1000000);
            waitSeen_.invalidate();
        });
        QObject::connect(download_, &PictureDownload::DownloadEnded, [this] {
            ++downloads_;
            if (f_.window.Link.ConsoleQuiet)
                ++quietAfterDownload_;
        });
        // A wait that never ends would not report its end: look at it from inside.
        watchdog_.setInterval(10);
        QObject::connect(&watchdog_, &QTimer::timeout, [this] {
            if (!f_.window.Link.Waiting()) {
                waitSeen_.invalidate();
                return;
            }
            if (!waitSeen_.isValid())
                waitSeen_.start();
            else if (waitSeen_.elapsed() > TimeLimitMs + WaitSlackMs)
                stuck_ = true;
        });
        watchdog_.start();
    }

    void Act()
    {
        switch (Pick(15)) {
        case 0:
        case 1:
            ClickButton();
            break;
        case 2:
            QTest::mouseClick(labels_[Pick(int(labels_.size()))], Qt::LeftButton);
            break;
        case 3:
            SwitchTab();
            break;
        case 4:
            TypeEntry();
            break;
        case 5:
            TypeCommandLine();
            break;
        case 6: {
            const int index = Pick(8);
            f_.window.lstBaud->setCurrentIndex(index);
            Q_EMIT f_.window.lstBaud->activated(index);
            break;
        }
        case 7:
            f_.window.resize(150 + Pick(1800), 100 + Pick(1400));
            break;
        case 8:
            UseDiskPage();
            break;
        case 9:
        case 10:
            PlugOrPull();
            break;
        case 11:
        case 12:
            Misbehave();
            break;
        case 13:
            Fault();
            break;
        case 14:
            Pause(Pick(3 * TimeLimitMs));
            break;
        }
    }

    // The board behaves again and stays plugged; everything scheduled has run.
    void Heal()
    {
        f_.bus.ClearFaults();
        f_.board.SetSilent(false);
        f_.board.SetReplyChunkSize(0);
        f_.board.SetReplyDelay(0);
    }

    int Pending() const { return pendingTimers_; }
    bool Stuck() const { return stuck_; }
    qint64 LongestWaitMs() const { return longestWaitMs_; }
    int Exchanges() const { return exchanges_; }
    int Downloads() const { return downloads_; }
    int QuietAfterDownload() const { return quietAfterDownload_; }
    PictureDownload* Download() const { return download_; }

private:
    int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }

    // The user waits a moment; whatever is due meanwhile happens.
    void Pause(int ms)
    {
        QEventLoop idle;
        QTimer::singleShot(ms, &idle, &QEventLoop::quit);
        idle.exec();
    }

    void Later(int ms, std::function<void()> step)
    {
        if (ms == 0)
            return step();
        ++pendingTimers_;
        QTimer::singleShot(ms, &f_.bus, [this, step = std::move(step)] {
            --pendingTimers_;
            step();
        });
    }

    void ClickButton()
    {
        QAbstractButton* button = buttons_[Pick(int(buttons_.size()))];
        if (Chance(30))
            button = f_.Get<QAbstractButton>(Chance(50) ? "cmdDwnldPic" : "cmdDwnldPicSer");
        button->click();
    }

    void SwitchTab()
    {
        // The shown tab is clicked again now and then.
        const int tab = Chance(25) ? f_.window.TabStrip1->SelectedIndex() : 1 + Pick(7);
        f_.window.TabStrip1->Select(tab);
        if (tab == 2) // the Disk tab points the program's folder at its own folder
            f_.window.AppFolder = appFolder_;
    }

    void TypeEntry()
    {
        auto* entry = f_.Get<QLineEdit>("cmdEntry");
        entry->clear();
        static const char Hex[] = "0123456789ABCDEFabcdefXYZ ";
        const int length = Chance(60) ? 16 : Pick(24);
        QString text;
        for (int i = 0; i < length; ++i)
            text += QLatin1Char(Hex[Chance(90) ? Pick(16) : Pick(int(sizeof Hex) - 1)]);
        QTest::keyClicks(entry, text);
        QTest::keyClick(entry, Chance(85) ? Qt::Key_Return : Qt::Key_Backspace);
    }

    void TypeCommandLine()
    {
        auto* line = f_.Get<QLineEdit>("CmdCommandLine");
        QString text = TypedCommands[Pick(int(TypedCommands.size()))];
        if (Chance(20)) {
            text = QStringLiteral("C:");
            for (int i = Pick(10); i > 0; --i)
                text += QChar(32 + Pick(95));
        }
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
    }

    void UseDiskPage()
    {
        auto* files = f_.Get<QListView>("File1");
        auto* folders = f_.Get<QListView>("Dir1");
        switch (Pick(4)) {
        case 0:
            disk_->Dir1().SetPath(Chance(80) ? pictures_ : pictures_ + QStringLiteral("/more"));
            break;
        case 1:
            if (const int rows = files->model()->rowCount(); rows > 0)
                files->setCurrentIndex(files->model()->index(Pick(rows), 0));
            break;
        case 2:
            if (const int rows = folders->model()->rowCount(); rows > 0)
                Q_EMIT folders->activated(folders->model()->index(Pick(rows), 0));
            // Wandering off is fine once; the pictures are in the temporary folder.
            if (!disk_->Dir1().Path().startsWith(QDir::tempPath()))
                disk_->Dir1().SetPath(pictures_);
            break;
        case 3: {
            auto* drive = f_.Get<QComboBox>("Drive1");
            if (drive->count() > 0)
                drive->setCurrentIndex(Pick(drive->count()));
            disk_->Dir1().SetPath(pictures_);
            break;
        }
        }
    }

    // Pulled now or in the middle of what the next actions start, and plugged
    // in again a little later.
    void PlugOrPull()
    {
        usb::VirtualBus& bus = f_.bus;
        usb::VirtualBoard* board = &f_.board;
        if (!bus.Boards().contains(board)) {
            bus.Plug(board);
            return;
        }
        const int pullAfter = Chance(30) ? 0 : Pick(4 * TimeLimitMs);
        Later(pullAfter, [&bus, board] { bus.Unplug(board); });
        Later(pullAfter + Pick(6 * TimeLimitMs), [&bus, board] { bus.Plug(board); });
    }

    void Misbehave()
    {
        usb::VirtualBoard& board = f_.board;
        switch (Pick(8)) {
        case 0:
            board.SetSilent(Chance(30));
            break;
        case 1: {
            static const int Sizes[] = {0, 0, 1, 3, 4, 9, 64, 511, 512, 513, 4096};
            board.SetReplyChunkSize(Sizes[Pick(int(std::size(Sizes)))]);
            break;
        }
        case 2:
            board.SetReplyDelay(Chance(50) ? 0 : Pick(2 * TimeLimitMs));
            break;
        case 3:
            board.ScriptReply(Chance(50) ? "C:02#" : "C:15#",
                              {LengthReplies[Pick(int(LengthReplies.size()))]});
            break;
        case 4:
            board.SendOnCommandIn(RandomBytes(1 + Pick(Chance(10) ? 70000 : 600)));
            break;
        case 5:
            board.SendOnFileIn(RandomBytes(1 + Pick(Chance(10) ? 70000 : 600)));
            break;
        case 6: {
            // Replies of any size for the identity request.
            QList<QByteArray> chunks;
            for (int i = 1 + Pick(3); i > 0; --i)
                chunks << RandomBytes(Pick(2000));
            board.ScriptReply("C:20", chunks);
            break;
        }
        case 7:
            Heal();
            break;
        }
    }

    void Fault()
    {
        int count = 0;
        const usb::Status* statuses = usb::FailureStatuses(count);
        static const int Times[] = {1, 1, 1, 2, 5, -1};
        f_.bus.InjectFault(Chance(80) ? QString::fromLatin1(ObjectNames[Pick(6)]) : QString(),
                           QString::fromLatin1(Operations[Pick(int(std::size(Operations)))]),
                           statuses[Pick(count)], Pick(6), Times[Pick(int(std::size(Times)))]);
        if (Chance(50)) // faults for ever last until the board is healed
            Later(Pick(10 * TimeLimitMs), [this] { f_.bus.ClearFaults(); });
    }

    QByteArray RandomBytes(int count)
    {
        // Now and then it looks like a positive reply.
        QByteArray bytes = Chance(30) ? QByteArray("OK :").left(count) : QByteArray();
        while (bytes.size() < count)
            bytes.append(char(Pick(256)));
        return bytes;
    }

    std::mt19937_64 rng_;
    WindowFixture& f_;
    QString appFolder_;
    QString pictures_;
    PictureDownload* download_ = nullptr;
    DiskNavigation* disk_ = nullptr;
    QList<QAbstractButton*> buttons_;
    QList<ClickLabel*> labels_;
    QTimer watchdog_;
    QElapsedTimer waitSeen_;
    bool stuck_ = false;
    qint64 longestWaitMs_ = 0;
    int exchanges_ = 0;
    int downloads_ = 0;
    int quietAfterDownload_ = 0;
    int pendingTimers_ = 0;
};

quint64 SeedFromEnvironment()
{
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("Q815_SOAK_SEED").toULongLong(&ok);
    return ok ? seed : QRandomGenerator::global()->generate64();
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void randomUse();
};

void SoakTest::randomUse()
{
    const quint64 seed = SeedFromEnvironment();
    bool countGiven = false;
    int actions = qEnvironmentVariableIntValue("Q815_SOAK_ACTIONS", &countGiven);
    if (!countGiven)
        actions = DefaultActions;
    qInfo("soak: Q815_SOAK_SEED=%llu Q815_SOAK_ACTIONS=%d", seed, actions);
    const QByteArray where = "seed " + QByteArray::number(seed);

    QTemporaryDir appFolder;
    QTemporaryDir pictures;
    QVERIFY(appFolder.isValid() && pictures.isValid());
    QDir(pictures.path()).mkdir(QStringLiteral("more"));
    const QStringList names = {"0001_120304_010203_01_TAXI1_SN77_USER.jpg", "0002_x.jpg",
                               "more/0003_200101_235959_02.jpg", "plain.jpg"};
    for (int i = 0; i < names.size(); ++i) {
        QFile file(pictures.filePath(names[i]));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(RenderTestPicture(160 + 40 * i, 120 + 30 * i, i));
    }
    QFile broken(pictures.filePath(QStringLiteral("broken.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();

    // A few small pictures for the camera, so downloads stay short.
    QList<QByteArray> frames;
    for (int i = 0; i < 3; ++i)
        frames << RenderTestPicture(80 + 80 * i, 60 + 60 * i, i);

    WindowFixture f(usb::EndpointLayout::Full, true, [&](WindowFixture& w) {
        w.window.Link.ReplyTimeLimitMs = TimeLimitMs;
        w.board.SetPictureRenderer(
            [frames](int, int, int frame) { return frames[frame % frames.size()]; });
    });
    f.window.AppFolder = appFolder.path();
    f.window.ReadFilePath = appFolder.filePath(QStringLiteral("readfile.jpg"));
    f.window.show();

    Soak soak(seed, f, appFolder.path(), pictures.path());
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < actions; ++i) {
        soak.Act();
        const QByteArray at = where + " action " + QByteArray::number(i);
        QVERIFY2(!soak.Stuck(), "a reply wait outlasted its limit: " + at);
        QVERIFY2(!f.window.Link.Waiting(), "a wait is still open between actions: " + at);
        if (!soak.Download()->Running())
            QVERIFY2(!f.window.Link.ConsoleQuiet, "the console stayed quiet: " + at);
    }

    // The board is healed, everything scheduled has happened, the last download
    // has ended; then a fresh plug-in gives a working link.
    soak.Heal();
    QTRY_VERIFY_WITH_TIMEOUT(soak.Pending() == 0 && !soak.Download()->Running(), 10000);
    if (f.bus.Boards().contains(&f.board))
        f.bus.Unplug(&f.board);
    QTRY_COMPARE(f.window.windowTitle(), QString::fromLatin1(CaptionNoUnit));
    f.bus.Plug(&f.board);
    QTRY_COMPARE(f.window.TxtUSB->text(), QStringLiteral("USB OK"));
    f.window.Link.ReplyTimeLimitMs = 3000;
    auto* entry = f.Get<QLineEdit>("cmdEntry");
    entry->setText(QStringLiteral("0123456789ABCDEF"));
    QTest::keyClick(entry, Qt::Key_Return);
    QVERIFY2(f.Get<QLineEdit>("retString")->text().startsWith(QStringLiteral("ACK ")), where);

    qInfo("soak: %d actions in %lld ms, %d exchanges (longest wait %lld ms), %d downloads, "
          "%lld messages",
          actions, clock.elapsed(), soak.Exchanges(), soak.LongestWaitMs(), soak.Downloads(),
          qlonglong(f.messages.size()));
    QVERIFY2(soak.LongestWaitMs() <= TimeLimitMs + WaitSlackMs, where);
    QCOMPARE(soak.QuietAfterDownload(), 0);
    QVERIFY(soak.Downloads() > 0);
    for (const QString& message : std::as_const(f.messages)) {
        QVERIFY2(!message.isEmpty(), where);
        QVERIFY2(!message.startsWith(QStringLiteral("unknown USB status")), qPrintable(message));
    }
}

QTEST_MAIN(SoakTest)
#include "test_soak.moc"
