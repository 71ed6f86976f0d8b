// The "Live Images" page: what stops live capture, inside a frame's wait for
// the board or between frames; bad frames among good ones; a restart; saved
// frames; and that "downloaded.jpg" is never touched.
#include "PictureFixtures.h"
#include "WindowFixture.h"
#include "app/TabStrip.h"
#include "app/widgets/FitPicture.h"
#include "camera/JpegFrame.h"
#include "camera/LiveCapture.h"
#include "camera/PictureAssembler.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Frame n of the camera: a JPEG 64 + n pixels wide, so each shows which it was.
const auto Frame = [](int n) { return fixtures::Jpeg(64 + n, 48); };

struct Live : WindowFixture {
    QTemporaryDir folder;
    LiveCapture& live = *window.findChild<LiveCapture*>();

    explicit Live(const std::function<QByteArray(int)>& camera = Frame)
    {
        tool.AppFolder = folder.path();
        board.SetPictureRenderer([camera](int, int, int n) { return camera(n); });
        Get<TabStrip>("TabStrip1")->Select(4);
    }
    void Click() { Get<QAbstractButton>("cmdLive")->click(); } // "Start", or "Stop"
    bool Counted(qint64 shown, qint64 bad = 0)
    {
        return QTest::qWaitFor(
            [&] { return live.Counts().shown >= shown && live.Counts().bad >= bad; });
    }
    // Stopped for good: "Start" again, no frame follows, no picture file written.
    bool Stopped()
    {
        const bool ended = QTest::qWaitFor([this] { return !live.Running(); });
        const qsizetype sent = board.CommandBlocks().size();
        QCoreApplication::processEvents();
        return ended && board.CommandBlocks().size() == sent &&
               Get<QAbstractButton>("cmdLive")->text() == QStringLiteral("Start") &&
               Get<QLabel>("lblLiveStatus")->text().contains(QStringLiteral("    0 fps")) &&
               !QFile::exists(folder.filePath(QStringLiteral("downloaded.jpg")));
    }
};

} // namespace

class LiveViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stops_data();
    void stops();
    void badFramesAmongGood();
    void eachFrameShownInTheNextOnesWaitAndBeforeARestart();
    void savedFrames();
    void unplugMessageSaysTheBoardIsBack();
};

// Bits: several may come together. Between: not in a wait but between two
// frames; SlowUnplug: an unplug that is seen when the frame has ended.
enum Stopper { StopButton = 1, OtherTab = 2, Unplug = 4, WindowClosed = 8, NoSync = 16 };
constexpr int Between = 32, SlowUnplug = 64;

void LiveViewTest::stops_data()
{
    QTest::addColumn<int>("stopper");
    QTest::addColumn<QString>("message");
    QTest::newRow("Stop") << int(StopButton) << QString();
    QTest::newRow("the Information tab") << int(OtherTab) << QString();
    QTest::newRow("unplugged: the status box says so") << int(Unplug) << QString();
    QTest::newRow("no sync") << int(NoSync) << "Live capture stopped: No Sync";
    QTest::newRow("Stop, then no sync") << int(StopButton | NoSync) << QString();
    QTest::newRow("no sync, then the unplug is seen") << int(NoSync | SlowUnplug) << QString();
    QTest::newRow("window closed") << int(WindowClosed) << QString();
    QTest::newRow("unplugged between frames") << int(Unplug | Between) << QString();
    QTest::newRow("window closed between frames") << int(WindowClosed | Between) << QString();
}

// Each comes while the next frame waits for the board's reply to its capture,
// and the frame ends first; or between two frames, where the test's wait returns.
void LiveViewTest::stops()
{
    QFETCH(int, stopper);
    QFETCH(QString, message);
    Live f;
    f.Click();
    QVERIFY(f.Counted(2));
    f.link.SetReplyTimeLimit(300); // an unplugged board's reply never comes
    f.board.SetReplyDelay(3);
    QSignalSpy shown(&f.window, &MainWindow::TabShown);
    bool inWait = false;
    const auto stop = [&] {
        inWait = f.link.Waiting();
        if (stopper & NoSync)
            f.board.ScriptReply("C:02#", {"OK :0000"});
        if (stopper & StopButton)
            f.Click();
        if (stopper & OtherTab)
            f.Get<TabStrip>("TabStrip1")->Select(3);
        if (stopper & Unplug)
            f.bus.Unplug(&f.board);
        if (stopper & SlowUnplug) // as a board behind a hub that is polled
            connect(f.window.findChild<PictureAssembler*>(), &PictureAssembler::Released,
                    [&] { f.bus.Unplug(&f.board); });
        if (stopper & WindowClosed)
            f.window.close();
    };
    // The frame that starts next begins with the capture's wait.
    (stopper & Between) ? stop() : QTimer::singleShot(1, stop);
    QVERIFY(f.Stopped());
    QCOMPARE(inWait, !(stopper & Between));
    QCOMPARE(f.messages, message.isEmpty() ? QStringList() : QStringList{message});
    // The "Information" page is shown once and reads the board after the last frame.
    const QStringList sent = f.Commands();
    QCOMPARE(shown.size(), stopper == OtherTab ? 1 : 0);
    QCOMPARE(sent.indexOf("C:20") > sent.lastIndexOf("C:02"), stopper == OtherTab);
}

// Frames 3, 4 and 5 are bad, each its own way: counted, not shown; frame 2
// stays. Qt decodes the picture cut at 90% (into grey): only the marker check
// tells it apart.
void LiveViewTest::badFramesAmongGood()
{
    const QByteArray jpeg = Frame(0);
    QVERIFY(!IsWholeJpeg("\xFF\xE0" + jpeg.mid(2)));           // FF, but not the start marker FF D8
    const QByteArray bad[] = {jpeg.left(jpeg.size() * 9 / 10), // cut short: no end marker
                              jpeg.mid(2),                     // no start marker
                              "\xFF\xD8 both markers, no picture between \xFF\xD9"};
    Live f([&](int n) { return n < 3 ? Frame(n) : bad[std::min(n - 3, 2)]; });
    f.Click();
    QVERIFY(f.Counted(2, 3));
    f.Click();
    QVERIFY(f.Stopped());
    QCOMPARE(f.live.Counts().shown, 2);
    QCOMPARE(f.Get<FitPicture>("imgLive")->Picture().size(), QSize(66, 48));
    QVERIFY(f.Get<QLabel>("lblLiveStatus")->text().contains(QStringLiteral("Frames 2 ")));
    QVERIFY(f.messages.isEmpty());
}

// Frame n is shown while frame n + 1 waits for the board; the last frame of a
// run, which never had that turn, is shown when "Start" is clicked again right
// after "Stop", and counts in the old run, not in the new one.
void LiveViewTest::eachFrameShownInTheNextOnesWaitAndBeforeARestart()
{
    Live f;
    QList<bool> inWait;
    connect(&f.live, &LiveCapture::FrameShown, [&] { inWait << f.link.Waiting(); });
    f.Click();
    QVERIFY(f.Counted(3)); // returns between two frames
    QCOMPARE(inWait, QList<bool>(f.live.Counts().shown, true));
    const qsizetype before = inWait.size();
    f.Click();
    QVERIFY(!f.live.Running());
    f.Click();
    QCOMPARE(inWait.size(), before + 1);
    QCOMPARE(f.live.Counts().shown, 0);
    f.Click();
    QVERIFY(f.Stopped());
}

// Each good frame in a file of its own; a folder that goes away stops capture
// with one message that names it.
void LiveViewTest::savedFrames()
{
    Live f;
    const QString saved = f.folder.filePath(QStringLiteral("new/live"));
    f.Get<QCheckBox>("chkLiveSave")->setChecked(true);
    f.Get<QLineEdit>("txtLiveFolder")->setText(saved);
    f.Click();
    QVERIFY(f.Counted(3));
    f.Click();
    QVERIFY(f.Stopped());
    const QStringList files = QDir(saved).entryList(QDir::Files);
    QCOMPARE(files.size(), f.live.Counts().shown);
    QVERIFY(files.filter(QRegularExpression("^live_\\d{8}_\\d{6}_\\d{3}(_\\d+)?\\.jpg$")) == files);
    QVERIFY(!QImage(QDir(saved).filePath(files.constLast())).isNull());
    QVERIFY(f.messages.isEmpty());

    f.Click();
    QVERIFY(f.Counted(3));
    QVERIFY(QDir(saved).removeRecursively());
    QVERIFY(f.Stopped());
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages.constFirst().contains(QDir::toNativeSeparators(saved)));
}

// The USB layer meets the unplug (a refused write) before the plug event: its
// box, still open when the board is back, says so.
void LiveViewTest::unplugMessageSaysTheBoardIsBack()
{
    Live f;
    f.window.SetMessageSink(nullptr); // real boxes
    f.Click();
    QVERIFY(f.Counted(2));
    f.bus.InjectFault("USBPipeOUT", "QueueData", usb::StatusDeviceGone, 0, 1);
    QStringList texts;
    bool replugged = false;
    QTimer user; // answers each box, once the board has been replugged under the first
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && !std::exchange(replugged, true)) {
            f.bus.Unplug(&f.board);
            f.bus.Plug(&f.board);
        } else if (box != nullptr && f.link.Linked()) {
            texts << box->text();
            box->accept();
        }
    });
    user.start(10);
    QVERIFY(f.Stopped());
    QCOMPARE(texts, QStringList{"the board was unplugged: plug it in again\n\n"
                                "The board is plugged in again: USB OK."});
}

QTEST_MAIN(LiveViewTest)
#include "test_live_view.moc"
