// The board link through real libusb against the virtual board served as a USB
// device: the conversations of the simulated backend's tests, now over usbfs.
#include "LibusbLinkFixture.h"
#include "link/usb/LibusbUsbObject.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using usb::EndpointLayout;

class LibusbLinkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void layouts_data();
    void layouts();
    void replyResults_data();
    void replyResults();
    void eachCommandGoesOutExactlyOnce();
    void replyThatNeverComes();
    void largeAndChunkedReplies_data();
    void largeAndChunkedReplies();
    void unplugDuringWait();
    void unplugDuringRead();
    void unplugThenPlug_data();
    void unplugThenPlug();
    void noBoardIsQuiet();
    void boardHeldByAnotherProgram();
    void teardownWithTransfersInFlight();
};

void LibusbLinkTest::initTestCase()
{
    usb::VirtualBoard board;
    EmulatedUsbDevice device(board);
    QVERIFY2(EmulatedUsbDevice::PreloadActive(),
             "run with LD_PRELOAD=libumockdev-preload.so.0 (ctest and tools/emulated-board "
             "set it)");
}

void LibusbLinkTest::layouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("in130");
    QTest::addColumn<int>("commandEndpoints");
    QTest::addColumn<bool>("fileInReading");
    QTest::addColumn<QString>("reply");
    QTest::newRow("full") << int(EndpointLayout::Full) << true << 1 << true
                          << QStringLiteral("270B0941");
    QTest::newRow("command only, IN 130")
        << int(EndpointLayout::CommandOnly) << true << 1 << false << QStringLiteral("270B0941");
    QTest::newRow("command only, IN 129")
        << int(EndpointLayout::CommandOnly) << false << 1 << false << QStringLiteral("270B0941");
    QTest::newRow("download") << int(EndpointLayout::Download) << true << 0 << false
                              << QStringLiteral("No USB");
}

void LibusbLinkTest::layouts()
{
    QFETCH(int, layout);
    QFETCH(bool, in130);
    QFETCH(int, commandEndpoints);
    QFETCH(bool, fileInReading);
    QFETCH(QString, reply);
    LibusbLinkFixture f(EndpointLayout(layout), true, in130);
    f.Start();
    QVERIFY(f.link->LinkUp);
    QCOMPARE(f.states, (QList<int>{2, 1}));
    QCOMPARE(f.captions, QStringList{CaptionLinked});
    QCOMPARE(int(f.link->CommandEndpoints), commandEndpoints);
    QCOMPARE(f.link->FileInReading, fileInReading);
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('|')));
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:20")), reply);
}

void LibusbLinkTest::replyResults_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QString>("result");
    QTest::newRow("positive reply") << QList<QByteArray>{"OK :1234"} << QStringLiteral("1234");
    QTest::newRow("bare prefix is empty") << QList<QByteArray>{"OK :"} << QString();
    QTest::newRow("three bytes") << QList<QByteArray>{"OK "} << QStringLiteral("FAIL");
    QTest::newRow("no blank before colon")
        << QList<QByteArray>{"OK:ABCD"} << QStringLiteral("FAILBCD");
    QTest::newRow("reply with zero bytes")
        << QList<QByteArray>{QByteArray("OK :a\0b", 7)} << QString::fromLatin1("a\0b", 3);
}

void LibusbLinkTest::replyResults()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QString, result);
    LibusbLinkFixture f;
    f.Start();
    f.board.ScriptReply("C:20", chunks);
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:20")), result);
    QVERIFY(f.messages.isEmpty());
}

void LibusbLinkTest::eachCommandGoesOutExactlyOnce()
{
    LibusbLinkFixture f;
    f.Start();
    f.board.SetReplyDelay(20); // the write events run long before the reply
    for (const char* command : {"C:20", "C:21", "C:0601", "C:03A"})
        QVERIFY(!f.link->DownLoadCommand(QString::fromLatin1(command)).startsWith("FAIL"));
    QCOMPARE(f.Commands(), (QStringList{"C:20", "C:21", "C:0601", "C:03A"}));
    QVERIFY(!f.link->OutWriting);
    QVERIFY(f.messages.isEmpty());
}

void LibusbLinkTest::replyThatNeverComes()
{
    LibusbLinkFixture f;
    f.Start();
    f.board.ScriptReply("C:20", {"OK :123456"});
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("123456"));
    f.board.SetSilent(true);
    QElapsedTimer clock;
    clock.start();
    const QString result = f.link->DownLoadCommand(QStringLiteral("C:21"));
    QVERIFY(clock.elapsed() >= 2990);
    QCOMPARE(result, QStringLiteral("FAIL") + QString(6, QChar(0)));
    // The board answers again: the reads in flight were not disturbed.
    f.board.SetSilent(false);
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
}

void LibusbLinkTest::largeAndChunkedReplies_data()
{
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<int>("replyLength");
    QTest::newRow("40000 bytes in one transfer") << 0 << 40000;
    QTest::newRow("one transfer larger than a read") << 0 << 70000;
    QTest::newRow("chunks of 3 bytes") << 3 << 10;
}

void LibusbLinkTest::largeAndChunkedReplies()
{
    QFETCH(int, chunkSize);
    QFETCH(int, replyLength);
    LibusbLinkFixture f;
    f.Start();
    f.board.SetReplyChunkSize(chunkSize);
    f.link->PictureBuffer = QByteArray(65356, '\0');
    f.link->PictureFill = 0;
    QByteArray reply = "OK :" + QByteArray(replyLength - 4, 'x');
    reply[replyLength - 1] = 'y';
    f.board.ScriptReply("C:20", {reply});
    const QString first = f.link->DownLoadCommand(QStringLiteral("C:20"));
    if (replyLength <= 63360) {
        QCOMPARE(first, QString::fromLatin1(reply.mid(4)));
    } else {
        // Two reads: the wait ends on the first, or on both when they came
        // back together; the reply is then the text of the last one.
        const QByteArray second = reply.mid(63360);
        QVERIFY(first == QString::fromLatin1(reply.mid(4, 63360 - 4))
                || first == QStringLiteral("FAIL") + QString::fromLatin1(second.mid(4)));
    }
    // Every byte arrives, in order, whatever the transfers were.
    QTRY_COMPARE(f.link->PictureFill, replyLength);
    const int kept = qMin(replyLength, 65356);
    QCOMPARE(f.link->PictureBuffer.left(kept), reply.left(kept));
}

void LibusbLinkTest::unplugDuringWait()
{
    LibusbLinkFixture f;
    f.Start();
    f.board.SetSilent(true);
    QTimer::singleShot(30, [&] { f.device.Unplug(); });
    const QString reply = f.link->DownLoadCommand(QStringLiteral("C:20"));
    QVERIFY(reply.startsWith(QStringLiteral("FAIL")));
    QTRY_VERIFY(!f.link->LinkUp);
    QVERIFY(!f.link->InReading);
    QTRY_COMPARE(f.captions.constLast(), QString::fromLatin1(CaptionNoUnit));
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));
}

void LibusbLinkTest::unplugDuringRead()
{
    LibusbLinkFixture f;
    f.Start();
    auto* in = static_cast<usb::LibusbUsbObject*>(f.link->USBPipeIN);
    QTRY_COMPARE(in->ReadsInFlight(), 5);
    f.device.Unplug();
    QTRY_COMPARE(f.captions.constLast(), QString::fromLatin1(CaptionNoUnit));
    QVERIFY(!f.link->InReading);
    QCOMPARE(in->ReadsInFlight(), 0);
    QCOMPARE(in->Device(), nullptr);
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('|')));
}

void LibusbLinkTest::unplugThenPlug_data()
{
    QTest::addColumn<bool>("poll");
    QTest::newRow("hotplug") << false;
    QTest::newRow("bus poll") << true;
}

void LibusbLinkTest::unplugThenPlug()
{
    QFETCH(bool, poll);
    LibusbLinkFixture f(EndpointLayout::Full, true, true, poll);
    f.Start();
    f.states.clear();
    f.captions.clear();
    f.device.Unplug();
    QTRY_COMPARE_WITH_TIMEOUT(f.captions, QStringList{CaptionNoUnit}, 5000);
    QCOMPARE(f.states, QList<int>{2});
    QCOMPARE(f.identityEmptied, 1);

    f.device.Plug();
    QTRY_COMPARE_WITH_TIMEOUT(f.captions, (QStringList{CaptionNoUnit, CaptionLinked}), 5000);
    QCOMPARE(f.states, (QList<int>{2, 1}));
    QCOMPARE(f.identityEmptied, 2);
    QVERIFY(f.link->InReading);
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:21")),
             QStringLiteral("V1.27 Q815 firmware"));
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('|')));
}

void LibusbLinkTest::noBoardIsQuiet()
{
    LibusbLinkFixture f(EndpointLayout::Full, false);
    f.Start();
    QVERIFY(!f.link->LinkUp);
    QCOMPARE(f.states, (QList<int>{2, 2}));
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));
    // A board plugged in later is opened.
    f.device.Plug();
    QTRY_VERIFY_WITH_TIMEOUT(f.link->LinkUp, 5000);
    QCOMPARE(f.link->DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
}

void LibusbLinkTest::boardHeldByAnotherProgram()
{
    LibusbLinkFixture f;
    f.device.SetClaimBusy(true);
    f.Start();
    QCOMPARE(f.messages, QStringList{usb::StatusText(usb::StatusBusy)});
}

// Destroying the link with reads and a write in flight cancels them, waits for
// them, and no completion reaches a destroyed object.
void LibusbLinkTest::teardownWithTransfersInFlight()
{
    auto f = std::make_unique<LibusbLinkFixture>();
    f->Start();
    f->board.SetSilent(true);
    auto* in = static_cast<usb::LibusbUsbObject*>(f->link->USBPipeIN);
    QTRY_COMPARE(in->ReadsInFlight(), 5);
    f->link->USBPipeOUT->ClearPipe();
    f->link->USBPipeOUT->BeginWriting(128, 1, 5, true);
    QCOMPARE(f->link->USBPipeOUT->QueueData(QByteArray(128, ' '), 1), usb::StatusSuccess);
    const int discardedBefore = f->device.DiscardedUrbs();
    f->link.reset();
    QVERIFY(f->device.DiscardedUrbs() >= discardedBefore + 10); // 5 + 5 reads
    f.reset();
    // Anything still posted would run (and crash) here.
    bool drained = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&drained] { drained = true; },
                              Qt::QueuedConnection);
    QTRY_VERIFY(drained);
}

QTEST_GUILESS_MAIN(LibusbLinkTest)
#include "test_libusb_link.moc"
