// Opening the board, binding the pipes to its endpoint layout, plug and unplug.
// Runs on both backends (see LinkFixture.h).
#include "LinkFixture.h"

#ifdef Q815_TEST_LIBUSB
#include "link/usb/LibusbSession.h"
#endif

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using usb::EndpointLayout;

class BoardDiscoveryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layouts_data();
    void layouts();
    void noBoardIsQuiet();
    void unplugThenPlug_data();
    void unplugThenPlug();
    void unplugDuringWait();
    void stateQueryChangesNothing();
    void followsTheOpenBoard();
#ifdef Q815_TEST_LIBUSB // the simulated bus's refusals are in the fault matrix
    void claimedElsewhereIsReported();
#endif
};

void BoardDiscoveryTest::layouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("in130");
    QTest::addColumn<int>("commandEndpoints");
    QTest::addColumn<bool>("inReading");
    QTest::addColumn<bool>("fileInReading");
    QTest::addColumn<QString>("reply");
    QTest::newRow("full") << int(EndpointLayout::Full) << true << 1 << true << true
                          << QStringLiteral("270B0941");
    QTest::newRow("command only, IN 130") << int(EndpointLayout::CommandOnly) << true << 1 << true
                                          << false << QStringLiteral("270B0941");
    QTest::newRow("command only, IN 129") << int(EndpointLayout::CommandOnly) << false << 1 << true
                                          << false << QStringLiteral("270B0941");
    QTest::newRow("download") << int(EndpointLayout::Download) << true << 0 << false << false
                              << QStringLiteral("No USB");
}

void BoardDiscoveryTest::layouts()
{
    QFETCH(int, layout);
    QFETCH(bool, in130);
    QFETCH(int, commandEndpoints);
    QFETCH(bool, inReading);
    QFETCH(bool, fileInReading);
    QFETCH(QString, reply);
    LinkFixture f(EndpointLayout(layout), true, in130);
    f.Start();
    QVERIFY(f.link.Linked());
    QCOMPARE(f.states, (QList<int>{2, 1}));
    QCOMPARE(f.captions, QStringList{CaptionLinked});
    QCOMPARE(int(f.link.CommandEndpointsBound()), commandEndpoints);
    QCOMPARE(Probe(f.link).Receive().Reading(), inReading);
    QCOMPARE(Probe(f.link).FilePipes().Reading(), fileInReading);
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('|')));
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), reply);
    // Reading the file pipe started the picture buffer over with 63,360 bytes.
    if (fileInReading)
        QCOMPARE(f.picture.Buffer().size(), 63360);
}

void BoardDiscoveryTest::noBoardIsQuiet()
{
    LinkFixture f(EndpointLayout::Full, false);
    f.Start();
    QVERIFY(!f.link.Linked());
    QCOMPARE(f.states, (QList<int>{2, 2}));
    QCOMPARE(f.captions, QStringList{CaptionLinked});
    QCOMPARE(int(f.link.CommandEndpointsBound()), 0);
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));
    // A board plugged in later is opened.
    f.Plug();
    QTRY_VERIFY_WITH_TIMEOUT(f.link.Linked(), 5000);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
}

void BoardDiscoveryTest::unplugThenPlug_data()
{
    QTest::addColumn<bool>("poll");
    QTest::newRow("plug events") << false;
#ifdef Q815_TEST_LIBUSB
    QTest::newRow("bus poll") << true; // where libusb has no hotplug
#endif
}

void BoardDiscoveryTest::unplugThenPlug()
{
    QFETCH(bool, poll);
    LinkFixture f(EndpointLayout::Full, true, true, poll);
    f.Start();
    f.states.clear();
    f.captions.clear();
    f.Unplug();
    QTRY_COMPARE_WITH_TIMEOUT(f.captions, QStringList{CaptionNoUnit}, 5000);
    QCOMPARE(f.states, QList<int>{2});
    QVERIFY(!f.link.Linked());
    QCOMPARE(f.identityEmptied, 1);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));

    f.Plug();
    QTRY_COMPARE_WITH_TIMEOUT(f.captions, (QStringList{CaptionNoUnit, CaptionLinked}), 5000);
    QCOMPARE(f.states, (QList<int>{2, 1}));
    QCOMPARE(f.identityEmptied, 2);
    QVERIFY(Probe(f.link).Receive().Reading());
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('|')));
}

void BoardDiscoveryTest::unplugDuringWait()
{
    LinkFixture f;
    f.Start();
    f.board.SetSilent(true);
    QTimer::singleShot(30, [&] { f.Unplug(); });
    const ExchangeResult reply = f.link.Exchange(QStringLiteral("C:20"));
    QVERIFY(reply.text.startsWith(QStringLiteral("FAIL")));
    QCOMPARE(reply.outcome, Outcome::Unplugged); // not the silence of a board that is there
    QTRY_VERIFY(!f.link.Linked());
    QVERIFY(!Probe(f.link).Receive().Reading());
    QTRY_COMPARE(f.captions.constLast(), QString::fromLatin1(CaptionNoUnit));
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('|')));
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));
}

void BoardDiscoveryTest::stateQueryChangesNothing()
{
    LinkFixture f;
    f.Start();
    f.states.clear();
    QVERIFY(f.link.USBState(0));
    f.Unplug();
    QTRY_VERIFY(!f.link.Linked());
    f.states.clear();
    QVERIFY(!f.link.USBState(0));
    QVERIFY(f.states.isEmpty());
}

// Two boards with our ids: the window follows the one it opened. Another one
// arriving or leaving changes nothing and sends nothing; the open one leaving
// unlinks, and the next arrival links again.
void BoardDiscoveryTest::followsTheOpenBoard()
{
    LinkFixture f;
    f.Start();
    usb::VirtualBoard spare;
    BoardPort other(spare, f.port);
    f.board.ClearRecord();
    f.states.clear();
    const auto unchanged = [&] {
        return f.states.isEmpty() && f.identityEmptied == 0 && f.board.CommandBlocks().isEmpty() &&
               spare.CommandBlocks().isEmpty() && f.link.Linked();
    };
    // Plugs or unplugs, and waits until the link has had the plug event.
    const auto seen = [&](void (BoardPort::*change)()) {
#ifdef Q815_TEST_LIBUSB
        QSignalSpy event(&static_cast<usb::LibusbBackend&>(*f.backend).Session(),
                         change == &BoardPort::Plug ? &usb::LibusbSession::Arrived
                                                    : &usb::LibusbSession::Left);
        (other.*change)();
        return event.wait(5000);
#else
        (other.*change)();
        return Drain();
#endif
    };
    QVERIFY(seen(&BoardPort::Plug) && unchanged());
    QVERIFY(seen(&BoardPort::Unplug) && unchanged());
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
    f.Unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!f.link.Linked(), 5000);
    other.Plug();
    QTRY_VERIFY_WITH_TIMEOUT(f.link.Linked(), 5000);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
    QCOMPARE(spare.CommandBlocks().size(), 1);
    // The link lets go of the spare before its device goes away.
    other.Unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!f.link.Linked(), 5000);
}

#ifdef Q815_TEST_LIBUSB
void BoardDiscoveryTest::claimedElsewhereIsReported()
{
    LinkFixture f;
    f.port.device.SetClaimBusy(true);
    f.Start();
    QCOMPARE(f.messages, QStringList{usb::StatusText(usb::StatusBusy)});
}

#endif

QTEST_GUILESS_MAIN(BoardDiscoveryTest)
#include "test_board_discovery.moc"
