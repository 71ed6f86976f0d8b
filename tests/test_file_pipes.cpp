// The bulk file pipes: what the board sends on its file pipe lands in the file,
// the send routine's flags and messages, and the hex routine.
#include "LinkFixture.h"
#include "firmware/FilePipes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class FilePipesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chunksRewriteTheFileFromItsStart();
    void fetchErrorStopsReadingSilently();
    void sendFileQueueStatus_data();
    void sendFileQueueStatus();
    void zeroWriteStatusStopsThePipe();
    void numToHex();
};

namespace {
struct Rig : LinkFixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("readfile.jpg"));
    FilePipes* pipes = nullptr;
    Rig()
    {
        Start();
        pipes = new FilePipes(
            link, [this] { return path; }, &link);
        QObject::connect(&picture, &PictureAssembler::FileChunkStored, pipes,
                         &FilePipes::SaveFileChunk);
    }
    QByteArray File() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
} // namespace

void FilePipesTest::chunksRewriteTheFileFromItsStart()
{
    Rig rig;
    QVERIFY(Probe(rig.link).FilePipes().Reading());
    const QByteArray first(100, 'a');
    rig.board.SendOnFileIn(first);
    QTRY_COMPARE(rig.File().size(), 63360);
    QCOMPARE(rig.File().left(101), first + '\0');

    rig.board.SendOnFileIn(QByteArray(10, 'b'));
    QTRY_COMPARE(rig.File().left(10), QByteArray(10, 'b'));
    QCOMPARE(rig.File().mid(10, 91), QByteArray(90, 'a') + '\0');
    QCOMPARE(rig.File().size(), 63360);
}

void FilePipesTest::fetchErrorStopsReadingSilently()
{
    Rig rig;
    rig.port.bus.InjectFault("USBPipeFileIN", "ReadTransfer", usb::StatusTransferFailed);
    rig.board.SendOnFileIn(QByteArray(100, 'a'));
    QTRY_VERIFY(!Probe(rig.link).FilePipes().Reading());
    QVERIFY(rig.messages.isEmpty());
    QVERIFY(!QFile::exists(rig.path));
}

void FilePipesTest::sendFileQueueStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("skip"); // calls of QueueData that succeed first
    QTest::addColumn<bool>("writing");
    QTest::addColumn<bool>("message");
    QTest::newRow("queue full at once: writing goes on")
        << int(usb::StatusQueueFull) << 0 << true << false;
    QTest::newRow("queue refused: message, writing cleared")
        << int(usb::StatusTransferFailed) << 0 << false << true;
    // The file pipe has ten buffers of its own: the tenth block is queued.
    QTest::newRow("tenth buffer refused") << int(usb::StatusTransferFailed) << 9 << false << true;
}

void FilePipesTest::sendFileQueueStatus()
{
    QFETCH(int, status);
    QFETCH(int, skip);
    QFETCH(bool, writing);
    QFETCH(bool, message);
    Rig rig;
    rig.port.bus.InjectFault("USBPipeFileOUT", "QueueData", status, skip);
    rig.pipes->SendFile(QByteArray(64, 'f'));
    QCOMPARE(Probe(rig.link).FilePipes().Writing(), writing);
    QCOMPARE(rig.messages, message ? QStringList{usb::StatusText(status)} : QStringList{});
}

void FilePipesTest::zeroWriteStatusStopsThePipe()
{
    Rig rig;
    rig.pipes->SendFile(QByteArray(64, 'f'));
    QVERIFY(Probe(rig.link).FilePipes().Writing());
    QTRY_VERIFY(!Probe(rig.link).FilePipes().Writing());
    QVERIFY(rig.messages.isEmpty());
    int sent = 0;
    for (const usb::ReceivedBlock& block : rig.board.ReceivedBlocks()) {
        QCOMPARE(block.endpoint, std::uint8_t(0x04));
        QCOMPARE(block.data, QByteArray(64, 'f'));
        ++sent;
    }
    QVERIFY(sent >= 1 && sent <= 10);
}

void FilePipesTest::numToHex()
{
    const std::pair<std::uint8_t, const char*> cases[] = {{0, "00"},   {10, "0A"}, {171, "AB"},
                                                          {255, "FF"}, {9, "09"},  {160, "A0"}};
    for (const auto& [value, text] : cases)
        QCOMPARE(NumToHex(value), QString::fromLatin1(text));
}

QTEST_GUILESS_MAIN(FilePipesTest)
#include "test_file_pipes.moc"
