// Picture download on the virtual board: the requests on the wire, the bytes of
// "downloaded.jpg", the picture box, the messages and the state left behind.
#include "LinkFixture.h"
#include "app/MainWindow.h"
#include "app/Controls.h"
#include "camera/AttachPictureDownload.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const QSize PlaceholderSize(720, 540);

QByteArray Hex4(int value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

// Block reply k as the firmware sends it: "OK :", the block number, a blank and
// 512 bytes that differ from block to block (and are no JPEG).
QByteArray BlockReply(int k)
{
    QByteArray reply = "OK :" + Hex4(k) + ' ';
    for (int i = 0; i < 512; ++i)
        reply.append(char((k * 131 + i * 7 + 1) & 0xFF));
    return reply;
}

// A download with its own widgets on a link to the virtual board with its
// test camera; the app folder is a temporary one that does not exist yet.
struct Rig {
    LinkFixture f;
    QTemporaryDir temp;
    QString AppFolder;
    std::int16_t ImageBitmapRef = 101;
    QWidget page;
    QLabel* image = new QLabel(&page);
    QProgressBar* progress = new QProgressBar(&page);
    QPushButton* spi = new QPushButton(QStringLiteral("Get Pic SPI"), &page);
    QPushButton* uart = new QPushButton(QStringLiteral("Get Pic UART"), &page);
    QStringList messages;
    QList<bool> quietAtMessage; // ConsoleQuiet while each message was shown
    std::unique_ptr<PictureDownload> download;

    explicit Rig(bool plugged = true, const QString& folder = QStringLiteral("app"))
        : f(usb::EndpointLayout::Full, plugged), AppFolder(temp.filePath(folder))
    {
        f.board.SetPictureRenderer(RenderTestPicture);
        f.Start();
        const auto record = [this](const QString& text) {
            messages << text;
            quietAtMessage << f.link.ConsoleQuiet;
        };
        download =
            std::make_unique<PictureDownload>(f.link, AppFolder, ImageBitmapRef, record,
                                              PictureDownloadView{image, progress, spi, uart});
    }

    QString PicturePath() const
    {
        return QDir(AppFolder).filePath(QStringLiteral("downloaded.jpg"));
    }
    QByteArray FileBytes() const
    {
        QFile file(PicturePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Clicks a button and waits until its download has ended.
    bool Run(QAbstractButton* button)
    {
        QSignalSpy ended(download.get(), &PictureDownload::DownloadEnded);
        button->click();
        return !ended.isEmpty() || ended.wait(10000);
    }
    bool ShowsPlaceholder() const { return image->pixmap().size() == PlaceholderSize; }
};

QStringList Repeated(const QString& command, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << command;
    return list;
}

} // namespace

class PictureDownloadTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blockDownloads_data();
    void blockDownloads();
    void progressFollowsTheBlocks();
    void refusedLengthReplies_data();
    void refusedLengthReplies();
    void uartStream_data();
    void uartStream();
    void realPictureAtEverySize_data();
    void realPictureAtEverySize();
    void existingFileIsOverwrittenInPlace_data();
    void existingFileIsOverwrittenInPlace();
    void missingFolderIsCreatedBeforeTheLengthRequest_data();
    void missingFolderIsCreatedBeforeTheLengthRequest();
    void folderThatCannotBeCreatedIsReported();
    void undecodablePictureShowsThePlaceholder();
    void silentBlockCopiesZerosAndGoesOn();
    void secondClickDuringADownloadIsRefused();
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
    QTest::newRow("2F: shorter than four digits") << false << QByteArray("2F") << 47 << 1;
    QTest::newRow("ABCD1234: four digits read") << false << QByteArray("ABCD1234") << 43981 << 86;
    QTest::newRow("0FA0: leading zero") << false << QByteArray("0FA0") << 4000 << 8;
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
    QByteArray expected;
    QList<QByteArray> replies;
    for (int k = 0; k < requests; ++k) {
        replies << BlockReply(k);
        rig.f.board.ScriptReply(code.toLatin1(), {replies.last()});
        expected += replies.last().mid(9, qMin(512, L - 512 * k));
    }
    if (pic12)
        rig.download->DownLoadPic12();
    else
        rig.spi->click();

    const QStringList first = pic12 ? QStringList() : QStringList{QStringLiteral("C:04")};
    QCOMPARE(rig.f.Commands(), first + QStringList{code + u'#'} + Repeated(code, requests));
    QCOMPARE(rig.f.board.CommandBlocks().constLast().left(5), code.toLatin1() + ' ');
    const QByteArray file = rig.FileBytes();
    QCOMPARE(file.size(), qMax(65356, L));
    QCOMPARE(file.left(L), expected);
    if (L % 512 == 0) // the last request copied nothing
        QVERIFY(file.mid(L, 512) != replies.last().mid(9));
    QVERIFY(rig.messages.isEmpty());
    QVERIFY(!rig.f.link.ConsoleQuiet);
    QCOMPARE(rig.f.console, QString()); // nothing echoed while the download ran
    QVERIFY(rig.ShowsPlaceholder());
    // The bar counts the blocks and is full at the end.
    QCOMPARE(rig.progress->maximum(), requests);
    QCOMPARE(rig.progress->value(), requests);
}

// With a board that takes 20 ms a reply, every block moves the bar.
void PictureDownloadTest::progressFollowsTheBlocks()
{
    Rig rig;
    rig.f.board.ScriptReply("C:02#", {"OK :0600"}); // 1536 bytes: four requests
    for (int k = 0; k < 4; ++k)
        rig.f.board.ScriptReply("C:02", {BlockReply(k)});
    rig.f.board.SetReplyDelay(20);
    QSignalSpy progressValues(rig.progress, &QProgressBar::valueChanged);
    QVERIFY(rig.Run(rig.spi));
    QList<int> shown;
    for (const QList<QVariant>& signal : progressValues)
        shown << signal.at(0).toInt();
    QCOMPARE(shown, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(rig.progress->maximum(), 4);
}

// Every reply's message is the length check's business; here: how each
// routine ends when the check refuses.
void PictureDownloadTest::refusedLengthReplies_data()
{
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("commands");
    const QStringList spi{QStringLiteral("C:04"), QStringLiteral("C:02#")};
    const QStringList uart{QStringLiteral("C:15#")};
    const QStringList pic12{QStringLiteral("C:12#")};
    QTest::newRow("no board") << "SPI" << QByteArray() << "No USB" << QStringList();
    QTest::newRow("fail1") << "SPI" << QByteArray("OK :fail1") << "fail1" << spi;
    QTest::newRow("negative reply") << "SPI" << QByteArray("ERR:camera") << "FAIL" << spi;
    QTest::newRow("No USB as text") << "SPI" << QByteArray("OK :No USB") << "No USB" << spi;
    QTest::newRow("0000") << "SPI" << QByteArray("OK :0000") << "No Sync" << spi;
    QTest::newRow("0") << "SPI" << QByteArray("OK :0") << "No Data" << spi;
    QTest::newRow("not hex") << "SPI" << QByteArray("OK :BUSY")
                             << "The board sent no picture length: \"BUSY\"" << spi;
    QTest::newRow("UART 0000") << "UART" << QByteArray("OK :0000") << "No Sync" << uart;
    QTest::newRow("UART fail1") << "UART" << QByteArray("OK :fail1") << "fail1" << uart;
    QTest::newRow("UART negative") << "UART" << QByteArray("ERR") << "FAIL" << uart;
    QTest::newRow("Pic12 0") << "12" << QByteArray("OK :0") << "No Data" << pic12;
}

void PictureDownloadTest::refusedLengthReplies()
{
    QFETCH(QString, routine);
    QFETCH(QByteArray, reply);
    QFETCH(QString, message);
    QFETCH(QStringList, commands);
    Rig rig(!reply.isEmpty()); // no reply: no board
    if (!reply.isEmpty())
        rig.f.board.ScriptReply(commands.constLast().toLatin1(), {reply});
    const QPixmap before(10, 10);
    rig.image->setPixmap(before);

    if (routine == QLatin1String("SPI"))
        rig.Run(rig.spi);
    else if (routine == QLatin1String("UART"))
        rig.Run(rig.uart);
    else
        rig.download->DownLoadPic12();

    QCOMPARE(rig.messages, QStringList{message});
    QVERIFY(rig.f.messages.isEmpty());
    QCOMPARE(rig.quietAtMessage, QList<bool>{false});
    QCOMPARE(rig.f.Commands(), commands);
    QVERIFY(!QFile::exists(rig.PicturePath()));
    QCOMPARE(rig.image->pixmap().size(), before.size());
    QVERIFY(!rig.f.link.ConsoleQuiet);
    QVERIFY(rig.spi->isEnabled() && rig.uart->isEnabled());
}

void PictureDownloadTest::uartStream_data()
{
    QTest::addColumn<QByteArray>("R");
    QTest::addColumn<int>("streamLength");
    QTest::newRow("stream of the announced length") << QByteArray("1000") << 4096;
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

    QVERIFY(rig.Run(rig.uart));

    QCOMPARE(rig.f.Commands(), (QStringList{QStringLiteral("C:15#"), QStringLiteral("C:15")}));
    QCOMPARE(rig.f.board.CommandBlocks().constLast().left(5), QByteArray("C:15 "));
    const QByteArray file = rig.FileBytes();
    QCOMPARE(file.size(), qMax(65356, streamLength));
    QCOMPARE(file.left(streamLength), stream);
    QCOMPARE(file.mid(streamLength), QByteArray(file.size() - streamLength, '\0'));
    QVERIFY(rig.messages.isEmpty());
    QVERIFY(!rig.f.link.ConsoleQuiet);
    QCOMPARE(rig.progress->value(), rig.progress->maximum());
}

void PictureDownloadTest::realPictureAtEverySize_data()
{
    QTest::addColumn<bool>("uart");
    QTest::addColumn<int>("index");
    for (bool uart : {false, true})
        for (int index = 0; index < 11; ++index) {
            const usb::PictureSize size = usb::PictureSizeForIndex(index);
            QTest::addRow("%s %dx%d", uart ? "UART" : "SPI", size.width, size.height)
                << uart << index;
        }
}

// The virtual camera at each size: the picture shown is the one captured, and
// each click shows a new one.
void PictureDownloadTest::realPictureAtEverySize()
{
    QFETCH(bool, uart);
    QFETCH(int, index);
    Rig rig;
    rig.f.link.DownLoadCommand(QStringLiteral("C:03") + QStringLiteral("123456789AB").at(index));
    const usb::PictureSize size = usb::PictureSizeForIndex(index);
    QImage previous;
    for (int round = 0; round < 2; ++round) {
        QVERIFY(rig.Run(uart ? rig.uart : rig.spi));
        const QByteArray picture = rig.f.board.CurrentPicture();
        QCOMPARE(rig.FileBytes().left(picture.size()), picture);
        const QImage shown = rig.image->pixmap().toImage();
        QCOMPARE(shown.size(), QSize(size.width, size.height));
        QVERIFY(shown != previous);
        previous = shown;
    }
    QCOMPARE(rig.f.board.FrameCounter(), 2);
    QVERIFY(rig.messages.isEmpty());
}

void PictureDownloadTest::existingFileIsOverwrittenInPlace_data()
{
    QTest::addColumn<int>("existingLength");
    QTest::newRow("longer file keeps its tail") << 100000;
    QTest::newRow("shorter file grows") << 10;
}

void PictureDownloadTest::existingFileIsOverwrittenInPlace()
{
    QFETCH(int, existingLength);
    Rig rig;
    QVERIFY(QDir().mkpath(rig.AppFolder));
    {
        QFile old(rig.PicturePath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(existingLength, '\xA5'));
    }
    rig.spi->click();
    const QByteArray picture = rig.f.board.CurrentPicture();
    const QByteArray file = rig.FileBytes();
    QCOMPARE(file.size(), qMax(65356, existingLength));
    QCOMPARE(file.left(picture.size()), picture);
    QCOMPARE(file.mid(65356), QByteArray(qMax(0, existingLength - 65356), '\xA5'));
}

void PictureDownloadTest::missingFolderIsCreatedBeforeTheLengthRequest_data()
{
    QTest::addColumn<bool>("uart");
    QTest::newRow("SPI") << false;
    QTest::newRow("UART") << true;
}

void PictureDownloadTest::missingFolderIsCreatedBeforeTheLengthRequest()
{
    QFETCH(bool, uart);
    Rig rig(true, QStringLiteral("not/yet/there"));
    QList<bool> folderAtLengthRequest;
    QObject::connect(&rig.f.board, &usb::VirtualBoard::DataReady, [&] {
        if (rig.f.board.CommandBlocks().constLast().contains('#'))
            folderAtLengthRequest << QDir(rig.AppFolder).exists();
    });
    QVERIFY(rig.Run(uart ? rig.uart : rig.spi));
    QCOMPARE(folderAtLengthRequest, QList<bool>{true});
    QVERIFY(QFile::exists(rig.PicturePath()));
}

void PictureDownloadTest::folderThatCannotBeCreatedIsReported()
{
    Rig rig(true, QStringLiteral("file/sub"));
    {
        QFile blocker(rig.temp.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    rig.spi->click();
    QCOMPARE(rig.messages.size(), 1);
    QVERIFY2(rig.messages.constFirst().startsWith(QStringLiteral("Cannot create the folder")),
             qPrintable(rig.messages.constFirst()));
    QCOMPARE(rig.f.Commands(), QStringList{QStringLiteral("C:04")});
    QVERIFY(!rig.f.link.ConsoleQuiet);
}

void PictureDownloadTest::undecodablePictureShowsThePlaceholder()
{
    Rig rig;
    rig.spi->click();
    QCOMPARE(rig.image->pixmap().size(), QSize(320, 240));

    // A JPEG start marker, then bytes that are no picture.
    rig.f.board.ScriptReply("C:04", {"OK :FRAME"});
    rig.f.board.SetPicture(QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(2000, '\x55'));
    rig.spi->click();
    QVERIFY(rig.ShowsPlaceholder());
    const QImage placeholder(QStringLiteral(":/bitmap101.png"));
    QCOMPARE(rig.image->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             placeholder.convertToFormat(QImage::Format_RGB32));
    QVERIFY(rig.messages.isEmpty());
}

// Costs one reply time limit (3 s).
void PictureDownloadTest::silentBlockCopiesZerosAndGoesOn()
{
    Rig rig;
    rig.f.board.ScriptReply("C:02#", {"OK :03E8"}); // 1000 bytes, two blocks
    const QByteArray block0 = BlockReply(0);
    rig.f.board.ScriptReply("C:02", {block0});
    rig.f.board.ScriptReply("C:02", {}); // the second block never comes
    rig.spi->click();
    QCOMPARE(rig.f.Commands(), (QStringList{"C:04", "C:02#", "C:02", "C:02"}));
    const QByteArray file = rig.FileBytes();
    QCOMPARE(file.left(512), block0.mid(9));
    // The receive path had stored the first reply's raw bytes here; the copy of
    // the silent block replaced them with zeros.
    QCOMPARE(file.mid(512, 488), QByteArray(488, '\0'));
    QVERIFY(rig.ShowsPlaceholder());
    QVERIFY(rig.messages.isEmpty());
}

void PictureDownloadTest::secondClickDuringADownloadIsRefused()
{
    Rig rig;
    rig.f.link.DownLoadCommand(QStringLiteral("C:031"));
    rig.f.board.ClearRecord();
    rig.f.board.SetReplyDelay(20);
    QList<bool> enabledDuring;
    QTimer::singleShot(5, [&] {
        enabledDuring << rig.spi->isEnabled() << rig.uart->isEnabled();
        rig.spi->click();
        rig.uart->click();
        rig.download->cmdDwnldPic_Click();
        rig.download->cmdDwnldPicSer_Click();
        rig.download->DownLoadPic12();
    });
    QVERIFY(rig.Run(rig.spi));
    QCOMPARE(enabledDuring, (QList<bool>{false, false}));
    const QByteArray picture = rig.f.board.CurrentPicture();
    QCOMPARE(rig.f.Commands(), QStringList({"C:04", "C:02#"}) +
                                   Repeated(QStringLiteral("C:02"), int(picture.size() / 512 + 1)));
    QCOMPARE(rig.FileBytes().left(picture.size()), picture);
    QCOMPARE(rig.image->pixmap().size(), QSize(80, 60));
    QVERIFY(rig.messages.isEmpty());
    QVERIFY(rig.spi->isEnabled() && rig.uart->isEnabled());
}

QTEST_MAIN(PictureDownloadTest)
#include "test_picture_download.moc"
