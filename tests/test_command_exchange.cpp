// The command exchange on the virtual board: what goes out on the wire, what
// comes back, and the receive path that everything the board sends runs through.
// Runs on both backends (see LinkFixture.h).
#include "LinkFixture.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

class CommandExchangeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replyResults_data();
    void replyResults();
    void blockPadding_data();
    void blockPadding();
    void eachCommandGoesOutExactlyOnce();
    void timeoutAfterLongerChunkGivesZeroCharacters();
    void consoleLimit_data();
    void consoleLimit();
    void consoleQuietStillEndsWaitAndFillsPicture();
#ifndef Q815_TEST_LIBUSB
    void pictureOf256BytesAnswersAnEmptyEvent_data();
    void pictureOf256BytesAnswersAnEmptyEvent();
#endif
    void unsolicitedChunkIsEchoedAndNextCommandWaitsAgain();
    void largeAndChunkedReplies_data();
    void largeAndChunkedReplies();
    void floodingBoardStaysInsidePictureBuffer();
    void noCommandInsideAnotherWait();
    void waitEndsAtOnce_data();
    void waitEndsAtOnce();
};

void CommandExchangeTest::replyResults_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QString>("result");
    QTest::newRow("positive reply") << QList<QByteArray>{"OK :1234"} << QStringLiteral("1234");
    QTest::newRow("bare prefix is empty") << QList<QByteArray>{"OK :"} << QString();
    QTest::newRow("no blank before colon")
        << QList<QByteArray>{"OK:ABCD"} << QStringLiteral("FAILBCD");
    QTest::newRow("negative reply") << QList<QByteArray>{"ERR:bad"} << QStringLiteral("FAILbad");
    QTest::newRow("reply with zero bytes")
        << QList<QByteArray>{QByteArray("OK :a\0b", 7)} << QString::fromLatin1("a\0b", 3);
    QTest::newRow("high 8-bit characters")
        << QList<QByteArray>{"OK :\xE9\xFF"} << QString::fromLatin1("\xE9\xFF");
}

void CommandExchangeTest::replyResults()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QString, result);
    LinkFixture f;
    f.Start();
    f.board.ScriptReply("C:20", chunks);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), result);
    QVERIFY(f.messages.isEmpty());
}

void CommandExchangeTest::blockPadding_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("3 characters") << QStringLiteral("C:5");
    QTest::newRow("trailing blank kept") << QStringLiteral("C:02 ");
    QTest::newRow("128 characters") << QStringLiteral("C:") + QString(126, u'7');
    QTest::newRow("129 characters are not sent") << QStringLiteral("C:") + QString(127, u'1');
}

void CommandExchangeTest::blockPadding()
{
    QFETCH(QString, command);
    LinkFixture f;
    f.Start();
    const QString result = f.link.DownLoadCommand(command);
    if (command.size() > 128) {
        QVERIFY2(result.startsWith(QStringLiteral("FAIL ")), qPrintable(result));
        QVERIFY(f.board.CommandBlocks().isEmpty());
    } else {
        QCOMPARE(f.board.CommandBlocks(), QList<QByteArray>{command.toLatin1().leftJustified(128)});
    }
}

void CommandExchangeTest::eachCommandGoesOutExactlyOnce()
{
    LinkFixture f;
    f.Start();
    f.board.SetReplyDelay(20); // let the write events run long before the reply
    for (const char* command : {"C:20", "C:21", "C:0601", "C:03A"})
        QVERIFY(!f.link.DownLoadCommand(QString::fromLatin1(command)).startsWith("FAIL"));
    QCOMPARE(f.Commands(), (QStringList{"C:20", "C:21", "C:0601", "C:03A"}));
    QVERIFY(!Probe(f.link).Exchange().Writing()); // the write status of 0 ended the write
    QVERIFY(f.messages.isEmpty());
}

void CommandExchangeTest::timeoutAfterLongerChunkGivesZeroCharacters()
{
    LinkFixture f;
    f.Start();
    f.board.ScriptReply("C:20", {"OK :123456"});
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("123456"));
    f.board.SetSilent(true);
    QElapsedTimer clock;
    clock.start();
    const QString result = f.link.DownLoadCommand(QStringLiteral("C:21"));
    QVERIFY(clock.elapsed() >= 2990);
    QCOMPARE(result, QStringLiteral("FAIL") + QString(6, QChar(0)));
    // The board answers again: the reads in flight were not disturbed.
    f.board.SetSilent(false);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
}

void CommandExchangeTest::consoleLimit_data()
{
    QTest::addColumn<int>("newChunk");
    QTest::addColumn<bool>("appended");
    // The console holds 60000 characters; the chunk brings it to the total.
    QTest::newRow("total 63999 is appended") << 3999 << true;
    QTest::newRow("total 64000 empties") << 4000 << false;
}

void CommandExchangeTest::consoleLimit()
{
    QFETCH(int, newChunk);
    QFETCH(bool, appended);
    LinkFixture f;
    f.Start();
    f.link.ClearConsole();
    f.board.SendOnCommandIn(QByteArray(60000 - 2, 'a'));
    QTRY_COMPARE(f.link.ConsoleLength(), qsizetype(60000));
    f.board.SendOnCommandIn(QByteArray(newChunk, 'b'));
    if (appended) {
        QTRY_COMPARE(f.link.ConsoleLength(), qsizetype(60000 + newChunk + 2));
        QVERIFY(f.console.endsWith(QString(newChunk, u'b') + QStringLiteral("\r\n")));
    } else {
        QTRY_COMPARE(f.link.ConsoleLength(), qsizetype(0));
        QVERIFY(f.console.isEmpty());
    }
}

void CommandExchangeTest::consoleQuietStillEndsWaitAndFillsPicture()
{
    LinkFixture f;
    f.Start();
    f.link.ClearConsole();
    f.link.BeginPictureCapture();
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
    QCOMPARE(f.picture.Buffer().left(12), QByteArray("OK :270B0941"));
    QCOMPARE(Probe(f.link).Receive().Fill(), 12);
    QVERIFY(f.console.isEmpty());
    f.link.EndPictureCapture();
    f.link.DownLoadCommand(QStringLiteral("C:20"));
    QCOMPARE(f.console, QStringLiteral("OK :270B0941\r\n"));
    QCOMPARE(f.picture.Buffer().mid(12, 12), QByteArray("OK :270B0941"));
}

#ifndef Q815_TEST_LIBUSB
// With exactly 256 picture bytes in, an input event that fetches nothing still
// ends the wait for a reply.
void CommandExchangeTest::pictureOf256BytesAnswersAnEmptyEvent_data()
{
    QTest::addColumn<int>("fill");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("256: answered") << 256 << Outcome::BoardFailure;
    QTest::newRow("257: no answer") << 257 << Outcome::NoAnswer;
}

void CommandExchangeTest::pictureOf256BytesAnswersAnEmptyEvent()
{
    QFETCH(int, fill);
    QFETCH(Outcome, outcome);
    LinkFixture f;
    f.Start();
    f.link.BeginPictureCapture();
    f.board.SendOnCommandIn(QByteArray(fill, 'p'));
    QTRY_COMPARE(Probe(f.link).Receive().Fill(), fill);
    f.port.bus.InjectFault("USBPipeIN", "FetchData", usb::StatusNoData);
    f.link.SetReplyTimeLimit(300);
    QCOMPARE(f.link.Exchange(QStringLiteral("C:20")).outcome, outcome);
}
#endif

void CommandExchangeTest::unsolicitedChunkIsEchoedAndNextCommandWaitsAgain()
{
    LinkFixture f;
    f.Start();
    f.picture.StartOver(PictureAssembler::DownloadSize);
    f.board.SendOnCommandIn("OK :hello");
    QTRY_VERIFY(f.console.contains(QStringLiteral("OK :hello\r\n")));
    QVERIFY(Probe(f.link).Exchange().ReplyHasArrived());
    QCOMPARE(f.picture.Buffer().left(9), QByteArray("OK :hello"));
    // The stale chunk must not answer the next command.
    f.board.SetReplyDelay(30);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:21")).left(5), QStringLiteral("V1.27"));
}

void CommandExchangeTest::largeAndChunkedReplies_data()
{
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<int>("replyLength");
    QTest::newRow("40000 bytes in one transfer") << 0 << 40000;
    QTest::newRow("one transfer larger than a read") << 0 << 70000;
    QTest::newRow("chunks of 3 bytes") << 3 << 10;
}

void CommandExchangeTest::largeAndChunkedReplies()
{
    QFETCH(int, chunkSize);
    QFETCH(int, replyLength);
    LinkFixture f;
    f.Start();
    f.board.SetReplyChunkSize(chunkSize);
    f.picture.StartOver(PictureAssembler::DownloadSize);
    QByteArray reply = "OK :" + QByteArray(replyLength - 4, 'x');
    reply[replyLength - 1] = 'y';
    f.board.ScriptReply("C:20", {reply});
    const QString first = f.link.DownLoadCommand(QStringLiteral("C:20"));
    if (replyLength <= 63360) {
        QCOMPARE(first, QString::fromLatin1(reply.mid(4)));
        if (chunkSize == 0)
            QCOMPARE(Probe(f.link).Receive().LastReadSize(), replyLength);
    } else {
        // Two reads: the wait ends on the first, or on both when they came
        // back together; the reply is then the text of the last one.
        const QByteArray second = reply.mid(63360);
        QVERIFY(first == QString::fromLatin1(reply.mid(4, 63360 - 4)) ||
                first == QStringLiteral("FAIL") + QString::fromLatin1(second.mid(4)));
    }
    // Every byte arrives, in order, whatever the transfers were.
    QTRY_COMPARE(Probe(f.link).Receive().Fill(), replyLength);
    const int kept = qMin(replyLength, 65356);
    QCOMPARE(f.picture.Buffer().left(kept), reply.left(kept));
}

void CommandExchangeTest::floodingBoardStaysInsidePictureBuffer()
{
    LinkFixture f;
    f.Start();
    f.picture.StartOver(PictureAssembler::DownloadSize); // from index 0: chunk 66 on has no room
    for (int i = 0; i < 300; ++i)
        f.board.SendOnCommandIn(QByteArray(1000, char('A' + i % 26)));
    QTRY_VERIFY(!f.board.HasPending(0x82));
    QTRY_COMPARE(Probe(f.link).Receive().Fill(), 300 * 1000);
    QCOMPARE(f.picture.Buffer().size(), 65356);
    QCOMPARE(f.picture.Buffer().at(65355), 'A' + 65 % 26);
    QVERIFY(f.link.ConsoleLength() < ConsoleLimit);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
}

void CommandExchangeTest::noCommandInsideAnotherWait()
{
    LinkFixture f;
    f.Start();
    f.board.SetReplyDelay(100);
    QString inner;
    QTimer::singleShot(20, [&] { inner = f.link.DownLoadCommand(QStringLiteral("C:21")); });
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("270B0941"));
    QVERIFY2(inner.startsWith(QStringLiteral("FAIL ")), qPrintable(inner));
    QCOMPARE(f.Commands(), QStringList{"C:20"});
}

void CommandExchangeTest::waitEndsAtOnce_data()
{
    QTest::addColumn<bool>("unplug");
    QTest::newRow("window closed") << false;
    QTest::newRow("board unplugged") << true;
}

// Both end a wait for a reply that will never come with what the time limit
// would have given, long before it; later commands say "No USB".
void CommandExchangeTest::waitEndsAtOnce()
{
    QFETCH(bool, unplug);
    LinkFixture f;
    f.Start();
    f.board.SetSilent(true);
    f.link.SetReplyTimeLimit(60000);
    QTimer::singleShot(50, [&] { unplug ? f.Unplug() : f.link.Shutdown(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(f.link.DownLoadCommand(QStringLiteral("C:20")).startsWith(QStringLiteral("FAIL")));
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));
}

QTEST_GUILESS_MAIN(CommandExchangeTest)
#include "test_command_exchange.moc"
