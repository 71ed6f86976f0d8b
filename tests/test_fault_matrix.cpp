// Every component operation that the program calls, made to fail with each
// failure status at each place where a user action reaches it, on the whole
// window against the virtual board. For each case: the messages shown (the
// status text, a download's own message, or nothing), what the action gave,
// and that the program carries on once the fault is gone. The cases are
// generated from the table of places below crossed with every failure status.
#include "WindowFixture.h"
#include "app/TabStrip.h"
#include "board/CommandTable.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using usb::EndpointLayout;

namespace {

// The user actions that reach the component.
enum Via : unsigned {
    StartUp = 1,      // Form_Load
    PlugIn = 2,       // the board is plugged in again
    Unplug = 4,       // the board is pulled
    Exchange = 8,     // Enter in the command entry ("C:07" + entry, reply in retString)
    SpiDownload = 16, // "Get Pic SPI"
    UartDownload = 32, // "Get Pic UART"
    Information = 64, // the "Information" tab: fourteen exchanges
    FilePipe = 128,   // the board sends data on the file input pipe
};

const std::pair<Via, const char*> ViaNames[] = {
    {StartUp, "start-up"},   {PlugIn, "plug-in"},         {Unplug, "unplug"},
    {Exchange, "exchange"},  {SpiDownload, "SPI download"}, {UartDownload, "UART download"},
    {Information, "Information"}, {FilePipe, "file pipe"},
};

// How the program goes on once the fault is gone.
enum class After {
    Works,            // the next exchange gets its reply
    NoUsbUntilReplug, // "No USB" until the board is plugged in again
    FailUntilReplug,  // "FAIL" (no reading) until the board is plugged in again
    FileInStopsUntilReplug, // the file pipe is not saved until the board is plugged in again
};

// Stands for the injected status's text in the expected messages.
const QString S = QStringLiteral("<status>");

struct Place {
    unsigned via;          // the actions that make this call (a mask of Via)
    const char* object;
    const char* operation;
    int skip;              // matching calls let through before the one that fails
    QStringList shown;     // the messages, in order
    QString result;        // what the action gave (see ResultOf)
    After after;
    EndpointLayout layout = EndpointLayout::Full;
    // A second fault on the same object, for places reached only after a first one.
    const char* alsoOperation = nullptr;
    int alsoSkip = 0;
};

QString T(usb::Status status)
{
    return usb::StatusText(status);
}

// Command-pipe operations per exchange: ClearPipe 1, BeginWriting 1, QueueData 2
// (the second says QueueFull), FetchData 2 (the reply, then NoData), ReadTransfer 1.
QList<Place> Places()
{
    const QString NoUsb = QStringLiteral("No USB");
    const QString Fail = QStringLiteral("FAIL");
    const unsigned Opening = StartUp | PlugIn;
    const After W = After::Works;
    const After NoUsbAfter = After::NoUsbUntilReplug;
    const After FailAfter = After::FailUntilReplug;
    // clang-format off
    return {
        // Plug events: their failure is shown, the board is opened all the same.
        {StartUp, "USBDevice", "PreparePlugEvents", 0, {S}, "USB OK", W},
        {StartUp, "USBDevice", "EnablePlugEvents", 0, {S}, "USB OK", W},
        // Opening the board.
        {Opening, "USBDevice", "ScanDevices", 0, {}, "USB OK", W},
        {Opening, "USBDevice", "AttachDevice", 0, {}, "USB OFF", NoUsbAfter},
        {Opening, "USBPipeDWNLD", "AttachDevice", 0, {S}, "USB OK", W},
        {Opening, "USBPipeIN", "AttachDevice", 0, {S, T(usb::StatusNotAttached), T(usb::StatusNotBound)}, "USB OK", FailAfter},
        {Opening, "USBPipeOUT", "AttachDevice", 0, {S}, "USB OK", NoUsbAfter},
        {Opening, "USBPipeFileIN", "AttachDevice", 0, {S, T(usb::StatusNotAttached)}, "USB OK", W},
        {Opening, "USBPipeFileOUT", "AttachDevice", 0, {S, T(usb::StatusNotAttached)}, "USB OK", W},
        {Opening, "USBDevice", "DefineInterface", 0, {S, T(usb::StatusNoInterface)}, "USB OK", W},
        {Opening, "USBDevice", "ApplyConfiguration", 0, {S}, "USB OK", W},
        // Binding the pipes (Full layout).
        {Opening, "USBPipeDWNLD", "AssignEndpoint", 0, {}, "USB OK", W},
        {Opening, "USBPipeOUT", "AssignEndpoint", 0, {}, "USB OK", NoUsbAfter},
        {Opening, "USBPipeIN", "AssignEndpoint", 0, {S, T(usb::StatusNotBound)}, "USB OK", FailAfter},
        {Opening, "USBPipeFileOUT", "AssignEndpoint", 0, {S}, "USB OK", W},
        {Opening, "USBPipeFileIN", "AssignEndpoint", 0, {S}, "USB OK", W},
        {Opening, "USBPipeIN", "ClearPipe", 0, {S}, "USB OK", FailAfter},
        {Opening, "USBPipeIN", "BeginReading", 0, {S}, "USB OK", FailAfter},
        {Opening, "USBPipeFileIN", "ClearPipe", 0, {}, "USB OK", W},
        {Opening, "USBPipeFileIN", "BeginReading", 0, {}, "USB OK", W},
        // Binding the pipes (Command only layout): no message in this step.
        {Opening, "USBPipeOUT", "AssignEndpoint", 1, {}, "USB OK", NoUsbAfter, EndpointLayout::CommandOnly},
        {Opening, "USBPipeIN", "AssignEndpoint", 0, {}, "USB OK", FailAfter, EndpointLayout::CommandOnly},
        {Opening, "USBPipeIN", "ClearPipe", 0, {S}, "USB OK", FailAfter, EndpointLayout::CommandOnly},

        // Unplug: nothing to report, the next plug-in opens the board again.
        {Unplug, "USBPipeIN", "EndReading", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBPipeFileIN", "EndReading", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBDevice", "DetachDevice", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBPipeDWNLD", "DetachDevice", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBPipeIN", "DetachDevice", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBPipeOUT", "DetachDevice", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBDevice", "ClearInterfaces", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBPipeFileIN", "DetachDevice", 0, {}, "USB OFF", NoUsbAfter},
        {Unplug, "USBPipeFileOUT", "DetachDevice", 0, {}, "USB OFF", NoUsbAfter},

        // One command exchange.
        {Exchange, "USBPipeOUT", "ClearPipe", 0, {}, NoUsb, W},
        {Exchange, "USBPipeOUT", "BeginWriting", 0, {S}, NoUsb, W},
        {Exchange, "USBPipeOUT", "QueueData", 0, {S}, NoUsb, W},
        {Exchange, "USBPipeOUT", "QueueData", 1, {S}, NoUsb, W},
        // A failed write is reported and the write handler sends the block again.
        {Exchange, "USBPipeOUT", "WriteTransfer", 0, {S}, "reply", W},
        {Exchange, "USBPipeOUT", "FetchWriteStatus", 0, {S}, "reply", W},
        // ... and when sending it again fails too, writing ends with a message.
        {Exchange, "USBPipeOUT", "WriteTransfer", 0, {S, S}, Fail, W, EndpointLayout::Full, "QueueData", 2},
        {Exchange, "USBPipeIN", "FetchData", 0, {}, Fail, FailAfter},
        {Exchange, "USBPipeIN", "ReadTransfer", 0, {}, Fail, FailAfter},

        // "Get Pic SPI": "C:04" (exchange 0), "C:02#" (1), the first "C:02 " (2).
        {SpiDownload, "USBPipeOUT", "ClearPipe", 0, {}, "picture", W},
        {SpiDownload, "USBPipeOUT", "ClearPipe", 1, {NoUsb}, "unchanged", W},
        {SpiDownload, "USBPipeOUT", "ClearPipe", 2, {}, "placeholder", W},
        {SpiDownload, "USBPipeOUT", "BeginWriting", 0, {S}, "picture", W},
        {SpiDownload, "USBPipeOUT", "BeginWriting", 1, {S, NoUsb}, "unchanged", W},
        {SpiDownload, "USBPipeOUT", "BeginWriting", 2, {S}, "placeholder", W},
        {SpiDownload, "USBPipeOUT", "QueueData", 0, {S}, "picture", W},
        {SpiDownload, "USBPipeOUT", "QueueData", 2, {S, NoUsb}, "unchanged", W},
        {SpiDownload, "USBPipeOUT", "QueueData", 4, {S}, "placeholder", W},
        // The length request goes out twice; the second length reply is taken
        // for the first block, and every block for the one after it.
        {SpiDownload, "USBPipeOUT", "FetchWriteStatus", 1, {S}, "placeholder", W},
        {SpiDownload, "USBPipeIN", "FetchData", 0, {Fail}, "unchanged", FailAfter},
        {SpiDownload, "USBPipeIN", "FetchData", 2, {Fail}, "unchanged", FailAfter},
        {SpiDownload, "USBPipeIN", "ReadTransfer", 2, {}, "placeholder", FailAfter},

        // "Get Pic UART": "C:15#" (exchange 0), "C:15 " (1).
        {UartDownload, "USBPipeOUT", "ClearPipe", 0, {NoUsb}, "unchanged", W},
        {UartDownload, "USBPipeOUT", "ClearPipe", 1, {}, "placeholder", W},
        {UartDownload, "USBPipeOUT", "BeginWriting", 0, {S, NoUsb}, "unchanged", W},
        {UartDownload, "USBPipeOUT", "BeginWriting", 1, {S}, "placeholder", W},
        {UartDownload, "USBPipeOUT", "QueueData", 2, {S}, "placeholder", W},
        {UartDownload, "USBPipeIN", "FetchData", 0, {Fail}, "unchanged", FailAfter},
        {UartDownload, "USBPipeIN", "ReadTransfer", 1, {}, "placeholder", FailAfter},

        // The "Information" tab: "C:20" (exchange 0), "C:21" (1), ..., "C:0623" (13).
        {Information, "USBPipeOUT", "ClearPipe", 0, {}, "No USB reply reply", W},
        {Information, "USBPipeOUT", "BeginWriting", 1, {S}, "reply No USB reply", W},
        {Information, "USBPipeOUT", "QueueData", 26, {S}, "reply reply No USB", W},
        {Information, "USBPipeIN", "FetchData", 26, {}, "reply reply FAIL", FailAfter},
        {Information, "USBPipeIN", "ReadTransfer", 13, {}, "reply reply FAIL", FailAfter},

        // The file input pipe: reading stops without a word.
        {FilePipe, "USBPipeFileIN", "FetchData", 0, {}, "not saved", After::FileInStopsUntilReplug},
        {FilePipe, "USBPipeFileIN", "ReadTransfer", 0, {}, "not saved", After::FileInStopsUntilReplug},
    };
    // clang-format on
}

const QString EntryText = QStringLiteral("0123456789ABCDEF");
const QByteArray ChipId = "270B0A40";
const QByteArray FirmwareVersion = "V1.27 matrix";
// Where a case waits for a reply that cannot come, the wait is short; elsewhere
// it is the program's own, so a slow machine does not turn a reply into "FAIL".
constexpr int QuickTimeLimitMs = 50;
constexpr int NoReadingTimeLimitMs = 10; // nothing is read, no reply can end the wait
constexpr int NormalTimeLimitMs = 3000;

// The window with its board, a small test picture and its own folder.
struct Rig {
    QTemporaryDir folder;
    std::unique_ptr<WindowFixture> f;
    PictureDownload* download = nullptr;

    Rig(EndpointLayout layout, const std::function<void(WindowFixture&)>& beforeLoad)
    {
        f = std::make_unique<WindowFixture>(layout, true, [&](WindowFixture& w) {
            Prepare(w);
            if (beforeLoad)
                beforeLoad(w);
        });
        f->window.AppFolder = folder.path();
        f->window.ReadFilePath = folder.filePath(QStringLiteral("readfile.jpg"));
        download = f->window.findChild<PictureDownload*>();
    }

    static void Prepare(WindowFixture& w)
    {
        w.board.SetPictureRenderer(
            [](int, int, int frame) { return RenderTestPicture(80, 60, frame); });
        w.board.SetChipId(ChipId);
        w.board.SetFirmwareVersion(FirmwareVersion);
    }

    QString Box(const char* name) { return f->Get<QLineEdit>(name)->text(); }
    QLabel* Image1() { return f->Get<QLabel>("Image1"); }
};

// Lets every event that the virtual board and the objects have posted run.
void Settle()
{
    for (int pass = 0; pass < 20; ++pass)
        QCoreApplication::processEvents();
}

QString SendEntry(Rig& rig)
{
    auto* entry = rig.f->Get<QLineEdit>("cmdEntry");
    entry->setText(EntryText);
    rig.f->Get<QLineEdit>("retString")->clear();
    QTest::keyClick(entry, Qt::Key_Return);
    return rig.Box("retString");
}

QString Classify(const QString& text, const QString& normal)
{
    if (text == normal)
        return QStringLiteral("reply");
    if (text.startsWith(QStringLiteral("FAIL")))
        return QStringLiteral("FAIL");
    return text;
}

// Waits until the plug handler has set the window caption.
bool AwaitCaption(WindowFixture& f, const char* caption)
{
    const QString wanted = QString::fromLatin1(caption);
    QSignalSpy changed(&f.window.Link, &BoardLink::CaptionChanged);
    while (f.window.windowTitle() != wanted) {
        if (!changed.wait(5000))
            return false;
    }
    return true;
}

void Replug(Rig& rig)
{
    rig.f->bus.Unplug(&rig.f->board);
    QVERIFY(AwaitCaption(*rig.f, CaptionNoUnit));
    rig.f->bus.Plug(&rig.f->board);
    QVERIFY(AwaitCaption(*rig.f, CaptionLinked));
    QCOMPARE(rig.f->window.TxtUSB->text(), QStringLiteral("USB OK"));
}

} // namespace

class FaultMatrixTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void faults_data();
    void faults();

private:
    QString normalReply_;
};

void FaultMatrixTest::initTestCase()
{
    Rig rig(EndpointLayout::Full, {});
    normalReply_ = SendEntry(rig);
    QVERIFY(!normalReply_.isEmpty());
    QVERIFY(!normalReply_.startsWith(QStringLiteral("FAIL")));
    QVERIFY(rig.f->messages.isEmpty());
}

void FaultMatrixTest::faults_data()
{
    QTest::addColumn<int>("via");
    QTest::addColumn<int>("placeIndex");
    QTest::addColumn<int>("status");

    const QList<Place> places = Places();
    int count = 0;
    const usb::Status* statuses = usb::FailureStatuses(count);
    for (int p = 0; p < places.size(); ++p) {
        const Place& place = places[p];
        for (const auto& [via, viaName] : ViaNames) {
            if (!(place.via & via))
                continue;
            for (int s = 0; s < count; ++s) {
                const QByteArray name =
                    QStringLiteral("%1 %2.%3#%4%5 0x%6")
                        .arg(QLatin1StringView(viaName), QLatin1StringView(place.object),
                             QLatin1StringView(place.operation))
                        .arg(place.skip)
                        .arg(place.layout == EndpointLayout::CommandOnly ? " (command only)" : "")
                        .arg(std::uint32_t(statuses[s]), 8, 16)
                        .toLatin1();
                QTest::newRow(name.constData()) << int(via) << p << int(statuses[s]);
            }
        }
    }
}

void FaultMatrixTest::faults()
{
    QFETCH(int, via);
    QFETCH(int, placeIndex);
    QFETCH(int, status);
    const Place place = Places().at(placeIndex);
    const QString object = QString::fromLatin1(place.object);
    auto inject = [&](usb::VirtualBus& bus) {
        bus.InjectFault(object, QString::fromLatin1(place.operation), status, place.skip, 1);
        if (place.alsoOperation)
            bus.InjectFault(object, QString::fromLatin1(place.alsoOperation), status,
                            place.alsoSkip, 1);
    };

    const bool timesOut = place.after == After::FailUntilReplug
                          || place.result.contains(QStringLiteral("FAIL"))
                          || place.shown.contains(QStringLiteral("FAIL"));
    const int timeLimitMs = timesOut ? QuickTimeLimitMs : NormalTimeLimitMs;
    std::function<void(WindowFixture&)> beforeLoad = [&](WindowFixture& w) {
        w.window.Link.ReplyTimeLimitMs = timeLimitMs;
        if (via == StartUp)
            inject(w.bus);
    };
    Rig rig(place.layout, beforeLoad);
    WindowFixture& f = *rig.f;
    QVERIFY(rig.download != nullptr);
    // A mark in the picture box, so a download that shows nothing is told apart
    // from one that shows the placeholder.
    QPixmap mark(3, 3);
    mark.fill(Qt::magenta);
    rig.Image1()->setPixmap(mark);
    const qint64 imageBefore = rig.Image1()->pixmap().cacheKey();
    const QByteArray fileData = "file pipe data " + QByteArray::number(placeIndex);

    QString result;
    switch (via) {
    case StartUp:
        result = f.window.TxtUSB->text();
        break;
    case PlugIn:
        f.bus.Unplug(&f.board);
        QVERIFY(AwaitCaption(f, CaptionNoUnit));
        inject(f.bus);
        f.bus.Plug(&f.board);
        QVERIFY(AwaitCaption(f, CaptionLinked));
        result = f.window.TxtUSB->text();
        break;
    case Unplug:
        inject(f.bus);
        f.bus.Unplug(&f.board);
        QVERIFY(AwaitCaption(f, CaptionNoUnit));
        result = f.window.TxtUSB->text();
        break;
    case Exchange:
        inject(f.bus);
        result = Classify(SendEntry(rig), normalReply_);
        break;
    case SpiDownload:
    case UartDownload: {
        inject(f.bus);
        f.Get<QAbstractButton>(via == SpiDownload ? "cmdDwnldPic" : "cmdDwnldPicSer")->click();
        QVERIFY(!rig.download->Running()); // the click returns when the download has ended
        const QPixmap shown = rig.Image1()->pixmap();
        if (shown.cacheKey() == imageBefore)
            result = QStringLiteral("unchanged");
        else if (shown.size() == QSize(80, 60))
            result = QStringLiteral("picture");
        else if (shown.size() == QPixmap(QStringLiteral(":/bitmap101.png")).size())
            result = QStringLiteral("placeholder");
        else
            result = QStringLiteral("picture of size %1x%2").arg(shown.width()).arg(shown.height());
        break;
    }
    case Information:
        inject(f.bus);
        f.window.TabStrip1->Select(3);
        result = Classify(rig.Box("TxtCPU_ID"), QString::fromLatin1(ChipId)) + u' '
                 + Classify(rig.Box("TxtSoftVer"), QString::fromLatin1(FirmwareVersion)) + u' '
                 + Classify(rig.Box("TxtCMD23"), QString::fromLatin1(f.board.CommandTableEntry("23")));
        break;
    case FilePipe: {
        inject(f.bus);
        f.board.SendOnFileIn(fileData);
        Settle();
        QFile file(f.window.ReadFilePath);
        result = file.open(QIODevice::ReadOnly) && file.readAll().startsWith(fileData)
                     ? QStringLiteral("saved")
                     : QStringLiteral("not saved");
        break;
    }
    }
    if (QTest::currentTestFailed())
        return;
    Settle();

    // The fault was met where the table says it is.
    QCOMPARE(f.bus.PendingFaults(), 0);
    QStringList expected = place.shown;
    expected.replaceInStrings(S, usb::StatusText(status));
    QCOMPARE(f.messages, expected);
    QCOMPARE(result, place.result);
    QVERIFY(!f.window.Link.ConsoleQuiet);
    QVERIFY(!f.window.Link.Waiting());
    QVERIFY(f.Get<QAbstractButton>("cmdDwnldPic")->isEnabled());

    // The program carries on.
    switch (place.after) {
    case After::Works:
        QCOMPARE(SendEntry(rig), normalReply_);
        break;
    case After::NoUsbUntilReplug:
        QCOMPARE(SendEntry(rig), QStringLiteral("No USB"));
        Replug(rig);
        QCOMPARE(SendEntry(rig), normalReply_);
        break;
    case After::FailUntilReplug:
        f.window.Link.ReplyTimeLimitMs = NoReadingTimeLimitMs;
        QVERIFY(SendEntry(rig).startsWith(QStringLiteral("FAIL")));
        f.window.Link.ReplyTimeLimitMs = NormalTimeLimitMs;
        Replug(rig);
        QCOMPARE(SendEntry(rig), normalReply_);
        break;
    case After::FileInStopsUntilReplug: {
        QCOMPARE(SendEntry(rig), normalReply_);
        f.board.SendOnFileIn("not saved either");
        Settle();
        QVERIFY(!QFile::exists(f.window.ReadFilePath));
        Replug(rig);
        f.board.SendOnFileIn(fileData);
        QTRY_VERIFY([&] {
            QFile file(f.window.ReadFilePath);
            return file.open(QIODevice::ReadOnly) && file.readAll().startsWith(fileData);
        }());
        break;
    }
    }
    if (QTest::currentTestFailed())
        return;
    Settle();
    QCOMPARE(f.messages, expected);
}

QTEST_MAIN(FaultMatrixTest)
#include "test_fault_matrix.moc"
