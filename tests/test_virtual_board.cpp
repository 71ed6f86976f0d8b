// The virtual board on its own: the command protocol and the knobs tests use to
// provoke the program. Its layouts, camera and picture blocks are tested through
// the component contract and the picture download, which rely on them.
#include "link/usb/VirtualBoard.h"

#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace usb;

namespace {

QByteArray Block(const QByteArray& command)
{
    return command.leftJustified(128, ' ', true);
}

// Sends one command block and takes every transfer the board queued for it,
// at once: without the pace of the wire.
QList<QByteArray> Exchange(VirtualBoard& board, const QByteArray& command, int maxLength = 0)
{
    board.SetPaced(false);
    board.Receive(board.CommandOutEndpoint(), Block(command));
    QList<QByteArray> transfers;
    while (board.HasPending(board.CommandInEndpoint()))
        transfers << board.TakeTransfer(board.CommandInEndpoint(), maxLength);
    return transfers;
}

QByteArray Reply(VirtualBoard& board, const QByteArray& command)
{
    return Exchange(board, command).join();
}

} // namespace

class TestVirtualBoard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replies_data();
    void replies();
    void commandTable();
    void dropCancelsDelayedReply();
};

void TestVirtualBoard::replies_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply"); // the whole reply, or only its prefix when negative
    QTest::addColumn<int>("sizeIndex");
    QTest::addColumn<int>("speedIndex");
    // The first and last size and speed, one past each end, and commands it does not know.
    QTest::newRow("size 1") << QByteArray("C:031") << QByteArray("OK :SIZE 80x60") << 0 << -1;
    QTest::newRow("size B") << QByteArray("C:03B") << QByteArray("OK :SIZE 160x128") << 10 << -1;
    QTest::newRow("size C") << QByteArray("C:03C") << QByteArray("ERR") << 4 << -1;
    QTest::newRow("size 0") << QByteArray("C:030") << QByteArray("ERR") << 4 << -1;
    QTest::newRow("speed 0") << QByteArray("C:10 0") << QByteArray("OK :BAUD 7200") << 4 << 0;
    QTest::newRow("speed 7") << QByteArray("C:10 7") << QByteArray("OK :BAUD 921600") << 4 << 7;
    QTest::newRow("speed 8") << QByteArray("C:10 8") << QByteArray("ERR") << 4 << -1;
    QTest::newRow("unknown entry") << QByteArray("C:0602") << QByteArray("ERR") << 4 << -1;
    QTest::newRow("no prefix") << QByteArray("X:20") << QByteArray("ERR") << 4 << -1;
    QTest::newRow("block with garbage") << QByteArray("C:02x") << QByteArray("ERR") << 4 << -1;
}

void TestVirtualBoard::replies()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(int, sizeIndex);
    QFETCH(int, speedIndex);
    VirtualBoard board;
    const QList<QByteArray> transfers = Exchange(board, command);
    QCOMPARE(transfers.size(), 1);
    if (reply.startsWith("OK :"))
        QCOMPARE(transfers[0], reply);
    else
        QVERIFY2(!transfers[0].startsWith("OK :") && transfers[0].startsWith(reply),
                 transfers[0].constData());
    QCOMPARE(board.PictureSizeIndex(), sizeIndex);
    QCOMPARE(board.UartSpeedIndex(), speedIndex);
}

void TestVirtualBoard::commandTable()
{
    VirtualBoard board;
    QSet<QByteArray> seen;
    static const QRegularExpression kEntry(QStringLiteral("^OK :[0-9A-F]{16}$"));
    for (const char* code :
         {"01", "04", "05", "06", "08", "09", "0C", "0D", "0E", "10", "18", "23"}) {
        const QByteArray reply = Reply(board, QByteArray("C:06") + code);
        QVERIFY2(kEntry.match(QString::fromLatin1(reply)).hasMatch(), reply.constData());
        seen.insert(reply);
    }
    QCOMPARE(seen.size(), 12);

    board.SetCommandTableEntry("0C", "0123456789ABCDEF");
    QCOMPARE(Reply(board, "C:060C"), QByteArray("OK :0123456789ABCDEF"));
    // The acknowledgement depends on the text it acknowledges.
    const QByteArray ackA = Reply(board, "C:07E3A0000100000001");
    const QByteArray ackB = Reply(board, "C:07E3A0000100000002");
    QVERIFY(ackA.startsWith("OK :") && ackB.startsWith("OK :"));
    QVERIFY(ackA != ackB);
}

// A delayed reply arrives through a timer; a cleared pipe must not get it later.
void TestVirtualBoard::dropCancelsDelayedReply()
{
    VirtualBoard board;
    board.SetReplyDelay(20);
    board.Receive(0x02, Block("C:20"));
    board.DropPending(0x82);
    board.Receive(0x02, Block("C:21"));
    QSignalSpy ready(&board, &VirtualBoard::DataReady);
    QVERIFY(ready.wait(2000));
    QCOMPARE(board.TakeTransfer(0x82, 512), QByteArray("OK :V1.27 Q815 firmware"));
    QVERIFY(!board.HasPending(0x82));
}

QTEST_GUILESS_MAIN(TestVirtualBoard)
#include "test_virtual_board.moc"
