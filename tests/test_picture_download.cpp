// Picture download on the virtual board: the requests on the wire, the bytes of
// "downloaded.jpg", the picture, progress and messages it sends out, the state
// left behind; and the "Unit" page's controls bound to it.
#include "LinkFixture.h"
#include "WindowFixture.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Block reply k as the firmware sends it: "OK :", the block number, a blank and
// 512 bytes that differ from block to block (and are no JPEG).
QByteArray BlockReply(int k)
{
    QByteArray reply = "OK :" + QByteArray::number(k, 16).toUpper().rightJustified(4, '0') + ' ';
    for (int i = 0; i < 512; ++i)
        reply.append(char((k * 131 + i * 7 + 1) & 0xFF));
    return reply;
}

// A download on a link to the virtual board with its test camera, and what it
// sent out; the app folder is a temporary one that does not exist yet.
struct Rig {
    LinkFixture f;
    QTemporaryDir temp;
    QString AppFolder;
    std::int16_t ImageBitmapRef = 101;
    PictureDownload download{f.link, f.picture, AppFolder, ImageBitmapRef};
    QStringList messages;
    QList<bool> quietAtMessage; // ConsoleQuiet while each message was shown
    QList<bool> running;
    QList<QPoint> progress; // value, maximum
    QList<QImage> shown;

    explicit Rig(bool plugged = true, const QString& folder = QStringLiteral("app"))
        : f(usb::EndpointLayout::Full, plugged), AppFolder(temp.filePath(folder))
    {
        f.board.SetPictureRenderer(RenderTestPicture);
        f.Start();
        QObject::connect(&download, &PictureDownload::MessageRequested, [this](const QString& t) {
            messages << t;
            quietAtMessage << Probe(f.link).Receive().Quiet();
        });
        QObject::connect(&download, &PictureDownload::RunningChanged,
                         [this](bool on) { running << on; });
        QObject::connect(&download, &PictureDownload::Progress,
                         [this](int value, int maximum) { progress << QPoint(value, maximum); });
        QObject::connect(&download, &PictureDownload::PictureShown,
                         [this](const QImage& picture) { shown << picture; });
    }

    QString PicturePath() const { return QDir(AppFolder).filePath("downloaded.jpg"); }
    QByteArray FileBytes() const
    {
        QFile file(PicturePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // One download ended with a picture: no message, the console echoes again,
    // the buttons were refused meanwhile and the bar is full.
    bool EndedWell() const
    {
        return messages.isEmpty() && !Probe(f.link).Receive().Quiet() &&
               running == QList<bool>{true, false} && shown.size() == 1 && !progress.isEmpty() &&
               progress.last().x() == progress.last().y();
    }
};

} // namespace

class PictureDownloadTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blockDownloads_data();
    void blockDownloads();
    void refusedLengthReplies_data();
    void refusedLengthReplies();
    void uartStream_data();
    void uartStream();
    void realPicture();
    void boardKeepsThePaceOfTheWire();
    void existingFileIsOverwrittenInPlace();
    void appFolderIsCreatedBeforeTheLengthRequest();
    void silentBlockCopiesZerosAndGoesOn();
    void secondDownloadIsRefusedAndEveryBlockMovesTheBar();
    void unitPageFollowsTheDownload();
    void windowClosedDuringASlowDownload();
};

void PictureDownloadTest::blockDownloads_data()
{
    QTest::addColumn<bool>("pic12");
    QTest::addColumn<QByteArray>("R");
    QTest::addColumn<int>("L");
    QTest::addColumn<int>("requests");
    QTest::newRow("1000: the ninth request copies nothing")
        << false << QByteArray("1000") << 4096 << 9;
    QTest::newRow("1001: the ninth copies one byte") << false << QByteArray("1001") << 4097 << 9;
    QTest::newRow("FFFF: longer than the buffer") << false << QByteArray("FFFF") << 65535 << 128;
    QTest::newRow("DownLoadPic12") << true << QByteArray("1000") << 4096 << 9;
}

void PictureDownloadTest::blockDownloads()
{
    QFETCH(bool, pic12);
    QFETCH(QByteArray, R);
    QFETCH(int, L);
    QFETCH(int, requests);
    Rig rig;
    const QString code = pic12 ? QStringLiteral("C:12") : QStringLiteral("C:02");
    rig.f.board.ScriptReply(code.toLatin1() + '#', {"OK :" + R});
    QByteArray expected, last;
    for (int k = 0; k < requests; ++k) {
        rig.f.board.ScriptReply(code.toLatin1(), {last = BlockReply(k)});
        expected += last.mid(9, qMin(512, L - 512 * k));
    }
    pic12 ? rig.download.DownLoadPic12() : rig.download.DownLoadPicSPI();

    const QStringList first = pic12 ? QStringList() : QStringList{QStringLiteral("C:04")};
    QCOMPARE(rig.f.Commands(), first + QStringList{code + u'#'} + QStringList(requests, code));
    QCOMPARE(rig.f.board.CommandBlocks().constLast().left(5), code.toLatin1() + ' ');
    const QByteArray file = rig.FileBytes();
    QCOMPARE(file.size(), qMax(65356, L));
    QCOMPARE(file.left(L), expected);
    if (L % 512 == 0) // the last request copied nothing
        QVERIFY(file.mid(L, 512) != last.mid(9));
    QVERIFY(rig.EndedWell());
    QCOMPARE(rig.f.console, QString()); // nothing echoed while the download ran
    QCOMPARE(rig.progress.last(), QPoint(requests, requests));
    QCOMPARE(rig.shown.constFirst(), QImage(QStringLiteral(":/bitmap101.png")));
}

// Every reply's message is the length check's business; here: how each
// routine ends when the check refuses.
void PictureDownloadTest::refusedLengthReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("no board") << QByteArray() << "No USB" << QStringList();
    QTest::newRow("SPI 0000") << QByteArray("OK :0000") << "No Sync"
                              << QStringList{"C:04", "C:02#"};
    QTest::newRow("UART fail1") << QByteArray("OK :fail1") << "fail1" << QStringList{"C:15#"};
    QTest::newRow("Pic12 0") << QByteArray("OK :0") << "No Data" << QStringList{"C:12#"};
}

void PictureDownloadTest::refusedLengthReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, message);
    QFETCH(QStringList, commands);
    Rig rig(!reply.isEmpty()); // no reply: no board
    const QString routine = commands.isEmpty() ? QString() : commands.constLast();
    if (!reply.isEmpty())
        rig.f.board.ScriptReply(routine.toLatin1(), {reply});
    routine == QLatin1String("C:15#")   ? rig.download.DownLoadPicUART()
    : routine == QLatin1String("C:12#") ? rig.download.DownLoadPic12()
                                        : rig.download.DownLoadPicSPI();

    QCOMPARE(rig.messages, QStringList{message});
    QVERIFY(rig.f.messages.isEmpty());
    QCOMPARE(rig.quietAtMessage, QList<bool>{false});
    QCOMPARE(rig.f.Commands(), commands);
    QVERIFY(!QFile::exists(rig.PicturePath()));
    QVERIFY(rig.shown.isEmpty());
    QCOMPARE(rig.running, (QList<bool>{true, false}));
}

void PictureDownloadTest::uartStream_data()
{
    QTest::addColumn<QByteArray>("R");
    QTest::addColumn<int>("streamLength");
    // 65535 bytes do not fit one read of 63360: the rest comes in the next one.
    QTest::newRow("stream longer than one read") << QByteArray("FFFF") << 65535;
    QTest::newRow("stream shorter than announced") << QByteArray("2000") << 100;
}

void PictureDownloadTest::uartStream()
{
    QFETCH(QByteArray, R);
    QFETCH(int, streamLength);
    Rig rig;
    QByteArray stream;
    for (int i = 0; i < streamLength; ++i)
        stream.append(char((i * 13 + i / 256) & 0xFF));
    rig.f.board.ScriptReply("C:15#", {"OK :" + R});
    rig.f.board.ScriptReply("C:15", {stream});
    rig.download.DownLoadPicUART();

    QCOMPARE(rig.f.Commands(), (QStringList{QStringLiteral("C:15#"), QStringLiteral("C:15")}));
    QCOMPARE(rig.f.board.CommandBlocks().constLast().left(5), QByteArray("C:15 "));
    const QByteArray file = rig.FileBytes();
    QCOMPARE(file.size(), qMax(65356, streamLength));
    QCOMPARE(file.left(streamLength), stream); // over the length reply
    QCOMPARE(file.mid(streamLength), QByteArray(file.size() - streamLength, '\0'));
    QVERIFY(rig.EndedWell());
}

// The virtual camera's largest picture on both routes: the picture shown is the
// one captured, and each download shows a new one.
void PictureDownloadTest::realPicture()
{
    for (bool uart : {false, true}) {
        Rig rig;
        rig.f.link.DownLoadCommand(QStringLiteral("C:037")); // 640x480
        for (int round = 0; round < 2; ++round) {
            uart ? rig.download.DownLoadPicUART() : rig.download.DownLoadPicSPI();
            const QByteArray picture = rig.f.board.CurrentPicture();
            QCOMPARE(rig.FileBytes().left(picture.size()), picture);
            QCOMPARE(rig.shown.constLast().size(), QSize(640, 480));
        }
        QVERIFY(rig.shown.constFirst() != rig.shown.constLast());
        QCOMPARE(rig.f.board.FrameCounter(), 2);
        QVERIFY(rig.messages.isEmpty());
    }
}

// The virtual board keeps the pace of a full-speed USB board: twenty short
// exchanges, or a 320 x 240 picture over SPI or the UART, come no faster than
// one 1 ms frame an exchange and 1.2 MB/s (less half a millisecond: its
// timers round to the nearest one).
void PictureDownloadTest::boardKeepsThePaceOfTheWire()
{
    for (const char* route : {"C:20", "SPI", "UART"}) {
        Rig rig;
        rig.f.board.ClearRecord();
        QElapsedTimer clock;
        clock.start();
        if (route == QLatin1String("C:20")) {
            for (int i = 0; i < 20; ++i)
                QCOMPARE(rig.f.link.DownLoadCommand(route), QStringLiteral("270B0941"));
        } else {
            route == QLatin1String("SPI") ? rig.download.DownLoadPicSPI()
                                          : rig.download.DownLoadPicUART();
            QVERIFY(rig.EndedWell());
        }
        const qint64 elapsed = clock.nsecsElapsed();
        const qint64 frames = rig.f.board.CommandBlocks().size() * usb::VirtualBoard::FrameNs;
        const qint64 bytes = rig.f.board.CurrentPicture().size() * 1'000'000'000LL /
                                 usb::VirtualBoard::BytesPerSecond -
                             500'000;
        QVERIFY2(elapsed >= std::max(frames, bytes),
                 qPrintable(QStringLiteral("%1: %2 ms").arg(route).arg(elapsed / 1e6)));
    }
}

// A longer file keeps its tail, a shorter one grows.
void PictureDownloadTest::existingFileIsOverwrittenInPlace()
{
    for (int existingLength : {100000, 10}) {
        Rig rig;
        QVERIFY(QDir().mkpath(rig.AppFolder));
        QFile old(rig.PicturePath());
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(existingLength, '\xA5')));
        old.close();
        rig.download.DownLoadPicSPI();
        const QByteArray picture = rig.f.board.CurrentPicture();
        const QByteArray file = rig.FileBytes();
        QCOMPARE(file.size(), qMax(65356, existingLength));
        QCOMPARE(file.left(picture.size()), picture);
        QCOMPARE(file.mid(65356), QByteArray(qMax(0, existingLength - 65356), '\xA5'));
    }
}

// On both routes; a folder that cannot be created ends the download after the
// capture, with a message.
void PictureDownloadTest::appFolderIsCreatedBeforeTheLengthRequest()
{
    for (bool uart : {false, true}) {
        Rig rig(true, QStringLiteral("not/yet/there"));
        QList<bool> folderAtLengthRequest;
        QObject::connect(&rig.f.board, &usb::VirtualBoard::DataReady, [&] {
            if (rig.f.board.CommandBlocks().constLast().contains('#'))
                folderAtLengthRequest << QDir(rig.AppFolder).exists();
        });
        uart ? rig.download.DownLoadPicUART() : rig.download.DownLoadPicSPI();
        QCOMPARE(folderAtLengthRequest, QList<bool>{true});
        QVERIFY(QFile::exists(rig.PicturePath()));
    }
    Rig rig(true, QStringLiteral("file/sub"));
    QVERIFY(QFile(rig.temp.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly));
    rig.download.DownLoadPicSPI();
    QCOMPARE(rig.messages.size(), 1);
    QVERIFY2(rig.messages.constFirst().startsWith(QStringLiteral("Cannot create the folder")),
             qPrintable(rig.messages.constFirst()));
    QCOMPARE(rig.f.Commands(), QStringList{QStringLiteral("C:04")});
    QCOMPARE(rig.quietAtMessage, QList<bool>{false});
}

// Costs one reply time limit (3 s).
void PictureDownloadTest::silentBlockCopiesZerosAndGoesOn()
{
    Rig rig;
    rig.f.board.ScriptReply("C:02#", {"OK :03E8"}); // 1000 bytes, two blocks
    const QByteArray block0 = BlockReply(0);
    rig.f.board.ScriptReply("C:02", {block0});
    rig.f.board.ScriptReply("C:02", {}); // the second block never comes
    rig.download.DownLoadPicSPI();
    QCOMPARE(rig.f.Commands(), (QStringList{"C:04", "C:02#", "C:02", "C:02"}));
    const QByteArray file = rig.FileBytes();
    QCOMPARE(file.left(512), block0.mid(9));
    // The receive path had stored the first reply's raw bytes here; the copy of
    // the silent block replaced them with zeros.
    QCOMPARE(file.mid(512, 488), QByteArray(488, '\0'));
    QVERIFY(rig.EndedWell());
}

// A board that takes 20 ms a reply: every block moves the bar, and a download
// asked for meanwhile sends nothing.
void PictureDownloadTest::secondDownloadIsRefusedAndEveryBlockMovesTheBar()
{
    Rig rig;
    rig.f.link.DownLoadCommand(QStringLiteral("C:031"));
    rig.f.board.ClearRecord();
    rig.f.board.SetReplyDelay(20);
    QTimer::singleShot(5, [&] {
        rig.download.DownLoadPicSPI();
        rig.download.DownLoadPicUART();
        rig.download.DownLoadPic12();
    });
    rig.download.DownLoadPicSPI();
    const int blocks = int(rig.f.Commands().count(QStringLiteral("C:02")));
    QCOMPARE(rig.f.Commands(), QStringList({"C:04", "C:02#"}) + QStringList(blocks, "C:02"));
    const QByteArray picture = rig.f.board.CurrentPicture();
    QCOMPARE(rig.FileBytes().left(picture.size()), picture);
    QVERIFY(rig.EndedWell());
    QList<int> values, each;
    for (const QPoint& step : std::as_const(rig.progress))
        if (values.isEmpty() || values.last() != step.x())
            values << step.x();
    for (int block = 0; block <= blocks; ++block)
        each << block;
    QCOMPARE(values, each);
}

// The page's buttons refuse clicks while a download runs; its bar and picture
// box show the download's end.
void PictureDownloadTest::unitPageFollowsTheDownload()
{
    QTemporaryDir folder;
    WindowFixture w;
    w.tool.AppFolder = folder.path();
    w.board.SetPictureRenderer(RenderTestPicture);
    w.link.DownLoadCommand(QStringLiteral("C:031"));
    w.board.SetReplyDelay(20);
    auto* spi = w.Get<QAbstractButton>("cmdDwnldPic");
    auto* uart = w.Get<QAbstractButton>("cmdDwnldPicSer");
    QList<bool> enabledDuring;
    QTimer::singleShot(5, [&] { enabledDuring << spi->isEnabled() << uart->isEnabled(); });
    spi->click();
    QCOMPARE(enabledDuring, (QList<bool>{false, false}));
    QVERIFY(spi->isEnabled() && uart->isEnabled());
    auto* bar = w.Get<QProgressBar>("ProgPicDwnld");
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(bar->maximum(), w.Commands().count(QStringLiteral("C:02")));
    QCOMPARE(w.Get<QLabel>("Image1")->pixmap().size(), QSize(80, 60));
}

// Closing the window while the capture or a block waits for its reply: nothing
// more is asked of the board, nobody is asked anything, and the last
// picture's file stays as it was.
void PictureDownloadTest::windowClosedDuringASlowDownload()
{
    for (int closeAtMs : {10, 150}) {
        QTemporaryDir folder;
        WindowFixture w;
        w.tool.AppFolder = folder.path();
        w.board.SetPictureRenderer(RenderTestPicture);
        QFile old(folder.filePath(QStringLiteral("downloaded.jpg")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the last picture") == 16);
        old.close();
        w.board.ClearRecord();
        w.board.SetReplyDelay(20);
        QStringList sent;
        QTimer::singleShot(closeAtMs, [&] {
            sent = w.Commands();
            w.window.close();
        });
        w.Get<QAbstractButton>("cmdDwnldPic")->click();
        QCoreApplication::processEvents();
        QCOMPARE(w.Commands(), sent);
        QCOMPARE(sent.size() > 3, closeAtMs > 100);
        QCOMPARE(w.messages, QStringList());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the last picture"));
    }
}

QTEST_MAIN(PictureDownloadTest)
#include "test_picture_download.moc"
