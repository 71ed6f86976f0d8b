// The window as an X server sees it, with input that goes through the window
// system's queue (xdotool on Xvfb), as a user's mouse and keys do: what the
// title bar shows, and that clicks and keys made while the program waits for
// the board are dropped, not run after the wait (but for "Stop" and the tabs of
// a running live view, and the key that closes a message box).
#include "WindowFixture.h"
#include "app/ApplicationName.h"
#include "app/TabStrip.h"
#include "camera/LiveCapture.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr int Slow = 30000; // ms; generous for a loaded machine

// xdotool arguments that move the pointer to `at` in `widget` and click there
// (button 4: the wheel turned up).
QStringList Click(QWidget* widget, QPoint at, int button = 1)
{
    const QPoint p = widget->mapTo(widget->window(), at);
    return {QStringLiteral("mousemove"),
            QStringLiteral("--window"),
            QString::number(widget->window()->winId()),
            QString::number(p.x()),
            QString::number(p.y()),
            QStringLiteral("click"),
            QString::number(button)};
}
QStringList Click(QWidget* widget)
{
    return Click(widget, widget->rect().center());
}
QStringList Pause(double seconds)
{
    return {QStringLiteral("sleep"), QString::number(seconds)};
}

// What the window manager is told to show in the title bar.
QString TitleBar(const QWidget& window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    xprop.waitForFinished();
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral("= \"(.*)\"")).match(out);
    return match.hasMatch() ? match.captured(1) : out;
}

struct XWindow : WindowFixture {
    QTemporaryDir folder;
    QProcess user; // the xdotool run that stands for the user's hand

    XWindow()
    {
        tool.AppFolder = folder.path();
        window.show();
        // Activation has asked for the chip and been answered.
        if (!QTest::qWaitForWindowExposed(&window) ||
            !QTest::qWaitFor([this] { return !Commands().isEmpty() && !link.Waiting(); }))
            qWarning("the window did not come up with its first exchange done");
        board.ClearRecord();
    }
    // Starts the user's actions; they go on while the program works.
    void Do(const QStringList& actions) { user.start(QStringLiteral("xdotool"), actions); }
    bool Done()
    {
        return QTest::qWaitFor([this] { return user.state() == QProcess::NotRunning; }, Slow) &&
               user.exitCode() == 0;
    }
    QPoint TabCentre(int index) const
    {
        return Control<TabStrip>(window, "TabStrip1")->Bar()->tabRect(index - 1).center();
    }
    // Clicks the "Disk" tab, which talks to no board, and waits until it is
    // shown: every input made before it has then been handled.
    bool Settled()
    {
        Do(Click(Control<TabStrip>(window, "TabStrip1")->Bar(), TabCentre(2)));
        return Done() && QTest::qWaitFor([this] { return window.ShownTab() == 2; }, Slow);
    }
};

QByteArray Picture(qsizetype size)
{
    return QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(size - 6, 'p') +
           QByteArray("\xFF\xD9", 2);
}

} // namespace

class RealInputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { NameApplication(); }
    void titleBarShowsTheCaptionExactly();
    void clicksDuringADownloadAreDropped();
    void keysDuringADownloadAreDropped();
    void messageBoxDuringAWaitTakesItsKey();
    void tabClickWhileTheUartStreamEndsIsDropped();
    void liveViewHearsStopAndTabs();
    void speedListSendsOnlyAChosenEntry();
    void tabSwitchLeavesTheStatusBoxAlone();
};

void RealInputTest::titleBarShowsTheCaptionExactly()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    XWindow x;
    QCOMPARE(TitleBar(x.window), QStringLiteral("Q815EVM Full V1.27"));
    x.bus.Unplug(&x.board);
    QTRY_COMPARE(TitleBar(x.window), QStringLiteral("Vantrel No Unit Full V1.27"));
}

void RealInputTest::clicksDuringADownloadAreDropped()
{
    XWindow x;
    // Seven blocks at 200 ms a reply: the download takes about 2 seconds.
    x.board.SetPictureRenderer([](int, int, int) { return Picture(3300); });
    x.board.SetReplyDelay(200);
    auto* spi = x.Get<QAbstractButton>("cmdDwnldPic");
    auto* uart = x.Get<QAbstractButton>("cmdDwnldPicSer");
    x.Do(Click(spi) + Pause(0.5) + Click(spi) + Pause(0.3) + Click(spi) + Pause(0.3) + Click(uart));
    QVERIFY(x.Done());
    QVERIFY(x.Settled());
    QStringList one{"C:04", "C:02#"};
    for (int i = 0; i < 7; ++i)
        one << "C:02";
    QCOMPARE(x.Commands(), one);
}

// A digit and Enter in the command line while a download waits: the line keeps
// its text and sends nothing.
void RealInputTest::keysDuringADownloadAreDropped()
{
    XWindow x;
    x.board.SetPictureRenderer([](int, int, int) { return Picture(3300); });
    auto* line = x.Get<QLineEdit>("CmdCommandLine");
    x.Do(Click(Control<TabStrip>(x.window, "TabStrip1")->Bar(), x.TabCentre(7)) + Click(line));
    QVERIFY(x.Done() && QTest::qWaitFor([line] { return line->hasFocus(); }, Slow));
    x.board.SetReplyDelay(200);
    x.Do(Pause(0.5) + QStringList{"key", "5", "Return"});
    x.window.findChild<PictureDownload*>()->DownLoadPicSPI();
    QVERIFY(x.Done());
    QVERIFY(x.Settled());
    QCOMPARE(line->text(), QStringLiteral("C:40"));
    QCOMPARE(x.Commands().size(), 9); // the capture, the length and seven blocks
}

// The window's own message box, raised by a failed write status while the
// command waits for its reply, is closed by Return; it would otherwise be
// closed by the test after 5 s.
void RealInputTest::messageBoxDuringAWaitTakesItsKey()
{
    SimulatedWindow s;
    s.bus.Plug(&s.board);
    QVERIFY(s.window.Form_Load());
    s.window.show();
    QVERIFY(QTest::qWaitFor([&] { return !s.board.CommandBlocks().isEmpty() && !s.link.Waiting(); },
                            Slow));
    s.board.SetReplyDelay(1500);
    s.bus.InjectFault("USBPipeOUT", "FetchWriteStatus", usb::StatusTransferFailed);
    QProcess user;
    QElapsedTimer shown;
    bool stuck = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box != nullptr && !shown.isValid()) {
            shown.start();
            user.start("xdotool", {"windowfocus", QString::number(box->winId()), "sleep", "0.3",
                                   "key", "Return"});
        } else if (box != nullptr && shown.elapsed() > 5000) {
            stuck = box->close();
        }
    });
    look.start(50);
    QVERIFY(s.link.DownLoadCommand("C:21").startsWith("V1.")); // the firmware version
    QVERIFY(shown.isValid());
    QVERIFY(!stuck);
}

void RealInputTest::tabClickWhileTheUartStreamEndsIsDropped()
{
    XWindow x;
    // A 65,000-byte picture: the first read is full, the rest comes later.
    const QByteArray picture = Picture(65000);
    const int read = ReceivePath::InBufferSize;
    x.board.ScriptReply("C:15#", {"OK :FDE8"});
    x.board.ScriptReply("C:15", {picture.left(read)});
    // The download runs inside this test's wait: the rest of the picture is
    // sent when the user has clicked "Information", which would read fourteen
    // entries from the board.
    bool tailSent = false;
    QObject::connect(&x.user, &QProcess::finished, [&] {
        tailSent = x.window.findChild<PictureDownload*>()->Running();
        x.board.SendOnCommandIn(picture.mid(read));
    });
    // The tab bar acts on the press: the release alone would change nothing.
    QSignalSpy shown(&x.window, &MainWindow::TabShown);
    x.Do(Click(x.Get<QAbstractButton>("cmdDwnldPicSer")) + Pause(0.5) +
         Click(Control<TabStrip>(x.window, "TabStrip1")->Bar(), x.TabCentre(3)));
    QVERIFY(x.Done());
    QVERIFY(tailSent);
    QVERIFY(x.Settled());
    QCOMPARE(shown.size(), 1); // the "Disk" tab only
    QCOMPARE(x.Commands(), (QStringList{"C:15#", "C:15"}));
    QFile file(x.folder.filePath("downloaded.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(picture.size()), picture);
}

// The running live view waits for the board nearly all the time; "Stop" and
// the tabs are heard all the same, and another tab stops capture first.
void RealInputTest::liveViewHearsStopAndTabs()
{
    XWindow x;
    x.board.SetPictureRenderer([](int, int, int n) { return RenderTestPicture(80, 60, n); });
    x.board.SetReplyDelay(20);
    const LiveCapture& live = *x.window.findChild<LiveCapture*>();
    auto* button = x.Get<QAbstractButton>("cmdLive");
    QTabBar* tabs = Control<TabStrip>(x.window, "TabStrip1")->Bar();
    const auto done = [&x](const std::function<bool()>& seen) {
        return x.Done() && QTest::qWaitFor(seen, Slow);
    };
    x.Do(Click(tabs, x.TabCentre(4)) + Pause(0.3) + Click(button));
    QVERIFY(done([&] { return live.Counts().shown >= 2; }));
    x.Do(Click(button));
    QVERIFY(done([&] { return !live.Running(); }));
    x.Do(Click(button) + Pause(0.5) + Click(tabs, x.TabCentre(3)));
    QVERIFY(done([&] { return x.window.ShownTab() == 3 && !live.Running(); }));
}

// Typing, Enter, the arrows, the wheel, Tab or a click elsewhere on the closed
// speed list choose nothing; an entry picked in the open list, by the mouse or
// by the arrows and Enter, sends its one "C:10 n".
void RealInputTest::speedListSendsOnlyAChosenEntry()
{
    XWindow x;
    auto* speeds = x.Get<QComboBox>("lstBaud");
    const QPoint editPart(8, speeds->height() / 2);
    const QPoint arrow(speeds->width() - 6, speeds->height() / 2);
    // Each text typed over the whole edit part, where Qt's inline completion
    // would turn "9" into "921600" (xdotool's "type" would take all that
    // follows as its text).
    const auto typed = [](const QString& text) {
        QStringList keys{"key", "ctrl+a"};
        for (QChar c : text)
            keys << c;
        return keys;
    };
    x.Do(Click(speeds, editPart) + typed("9") + QStringList{"key", "Return"} + typed("115200") +
         QStringList{"key", "Return", "Up", "Down", "Home", "End", "Tab"} +
         Click(speeds, editPart, 4) + Click(speeds, editPart) + typed("57600") +
         Click(x.Get<QAbstractButton>("cmdSpiReset")));
    QVERIFY(x.Done());
    QVERIFY(x.Settled());
    QCOMPARE(x.Commands(), QStringList{"C:05"});
    QCOMPARE(speeds->count(), 8);
    QCOMPARE(speeds->itemText(7), QStringLiteral("921600"));

    QAbstractItemView* list = speeds->view();
    const auto open = [&] { // on the "Unit" page again
        x.Do(Click(Control<TabStrip>(x.window, "TabStrip1")->Bar(), x.TabCentre(1)) +
             Click(speeds, arrow));
        return x.Done() && QTest::qWaitFor([list] { return list->isVisible(); }, Slow);
    };
    QVERIFY(open());
    x.Do(Click(list->viewport(), list->visualRect(list->model()->index(7, 0)).center()));
    QVERIFY(x.Done());
    QVERIFY(open());
    x.Do({"key", "Up", "Return"});
    QVERIFY(x.Done());
    QVERIFY(x.Settled());
    QCOMPARE(x.Commands(), (QStringList{"C:05", "C:10 7", "C:10 6"}));
}

// The read-only status box takes no focus, so no tab switch selects its text.
void RealInputTest::tabSwitchLeavesTheStatusBoxAlone()
{
    XWindow x;
    QTabBar* tabs = Control<TabStrip>(x.window, "TabStrip1")->Bar();
    auto* status = x.Get<QLineEdit>("TxtUSB");
    // The focus leaves a page that is hidden for the next control that takes it.
    for (auto [box, tab] : {std::pair{"CmdCommandLine", 7}, {"txtLiveFolder", 4}}) {
        auto* focused = x.Get<QWidget>(box);
        x.Do(Click(tabs, x.TabCentre(tab)) + Click(focused) + Click(tabs, x.TabCentre(1)));
        QVERIFY(x.Done() && QTest::qWaitFor([&] { return x.window.ShownTab() == 1; }, Slow));
        QVERIFY(!status->hasFocus());
        QVERIFY(!status->hasSelectedText());
    }
}

QTEST_MAIN(RealInputTest)
#include "test_real_input.moc"
