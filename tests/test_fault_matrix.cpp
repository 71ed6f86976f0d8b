// Every component operation that the program calls, made to fail where a user
// action reaches it, on the whole window against the virtual board: each call
// of opening and unplug; each step of an exchange, which every feature makes
// through the same calls; and one step in each exchange of a download.
// For each case: the messages shown (the status text, a download's own message,
// or nothing), what the action gave, and that the program carries on once the
// fault is gone. The program treats every failure status alike, so each place
// gets one, taken in turn from the list of failure statuses.
#include "WindowFixture.h"
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

// The user actions that reach the component (a mask; Opening is both).
enum Via : unsigned {
    StartUp = 1,
    PlugIn = 2,
    Unplug = 4,
    Exchange = 8, // Enter in the command entry ("C:07" + entry, reply in retString)
    SpiDownload = 16,
    UartDownload = 32,
    FilePipe = 64, // the board sends data on the file input pipe
    Opening = StartUp | PlugIn,
};
// The "Information" tab's fourteen exchanges fail as any exchange does.
const char* const ViaNames[] = {"start-up",     "plug-in",       "unplug",   "exchange",
                                "SPI download", "UART download", "file pipe"};

// How the program goes on once the fault is gone.
enum class After { Works, NoUsbUntilReplug, FailUntilReplug, FileInStopsUntilReplug };

const QString S = QStringLiteral("<status>"); // the injected status's text

struct Place {
    unsigned via;
    const char* object;
    const char* operation;
    int skip;          // matching calls let through before the one that fails
    QStringList shown; // the messages, in order
    QString result;    // what the action gave
    After after;
    EndpointLayout layout = EndpointLayout::Full;
    const char* alsoOperation = nullptr; // a second fault on the same object
    int alsoSkip = 0;
};

// Command-pipe operations per exchange: ClearPipe 1, BeginWriting 1, QueueData 2
// (the second says QueueFull), FetchData 2 (the reply, then NoData), ReadTransfer 1.
QList<Place> Places()
{
    const QString NoUsb = QStringLiteral("No USB"), Fail = QStringLiteral("FAIL");
    const QString NotAttached = usb::StatusText(usb::StatusNotAttached);
    const QString NotBound = usb::StatusText(usb::StatusNotBound);
    const After W = After::Works, NoUsbAfter = After::NoUsbUntilReplug,
                FailAfter = After::FailUntilReplug;
    const EndpointLayout Cmd = EndpointLayout::CommandOnly;
    // clang-format off
    return {
        // Plug events: their failure is shown, the board is opened all the same.
        {StartUp, "USBDevice", "PreparePlugEvents", 0, {S}, "USB OK", W},
        {StartUp, "USBDevice", "EnablePlugEvents", 0, {S}, "USB OK", W},
        {Opening, "USBDevice", "ScanDevices", 0, {}, "USB OK", W},
        {Opening, "USBDevice", "AttachDevice", 0, {}, "USB OFF", NoUsbAfter},
        {Opening, "USBPipeDWNLD", "AttachDevice", 0, {S}, "USB OK", W},
        {Opening, "USBPipeIN", "AttachDevice", 0, {S, NotAttached, NotBound}, "USB OK", FailAfter},
        {Opening, "USBPipeOUT", "AttachDevice", 0, {S}, "USB OK", NoUsbAfter},
        {Opening, "USBPipeFileIN", "AttachDevice", 0, {S, NotAttached}, "USB OK", W},
        {Opening, "USBPipeFileOUT", "AttachDevice", 0, {S, NotAttached}, "USB OK", W},
        {Opening, "USBDevice", "DefineInterface", 0, {S, usb::StatusText(usb::StatusNoInterface)}, "USB OK", W},
        {Opening, "USBDevice", "ApplyConfiguration", 0, {S}, "USB OK", W},
        {Opening, "USBPipeDWNLD", "AssignEndpoint", 0, {}, "USB OK", W},
        {Opening, "USBPipeOUT", "AssignEndpoint", 0, {}, "USB OK", NoUsbAfter},
        {Opening, "USBPipeIN", "AssignEndpoint", 0, {S, NotBound}, "USB OK", FailAfter},
        {Opening, "USBPipeFileOUT", "AssignEndpoint", 0, {S}, "USB OK", W},
        {Opening, "USBPipeFileIN", "AssignEndpoint", 0, {S}, "USB OK", W},
        {Opening, "USBPipeIN", "ClearPipe", 0, {S}, "USB OK", FailAfter},
        {Opening, "USBPipeFileIN", "ClearPipe", 0, {}, "USB OK", W},
        // The command-only layout binds without a message.
        {Opening, "USBPipeOUT", "AssignEndpoint", 1, {}, "USB OK", NoUsbAfter, Cmd},
        {Opening, "USBPipeIN", "AssignEndpoint", 0, {}, "USB OK", FailAfter, Cmd},
        {Opening, "USBPipeIN", "ClearPipe", 0, {S}, "USB OK", FailAfter, Cmd},

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

        {Exchange, "USBPipeOUT", "ClearPipe", 0, {}, NoUsb, W},
        {Exchange, "USBPipeOUT", "BeginWriting", 0, {S}, NoUsb, W},
        {Exchange, "USBPipeOUT", "QueueData", 0, {S}, NoUsb, W},
        {Exchange, "USBPipeOUT", "QueueData", 1, {S}, NoUsb, W},
        // A failed write is reported and the write handler sends the block again ...
        {Exchange, "USBPipeOUT", "WriteTransfer", 0, {S}, "reply", W},
        {Exchange, "USBPipeOUT", "FetchWriteStatus", 0, {S}, "reply", W},
        // ... and when sending it again fails too, writing ends with a message.
        {Exchange, "USBPipeOUT", "WriteTransfer", 0, {S, S}, Fail, W, EndpointLayout::Full, "QueueData", 2},
        {Exchange, "USBPipeIN", "FetchData", 0, {}, Fail, FailAfter},
        {Exchange, "USBPipeIN", "ReadTransfer", 0, {}, Fail, FailAfter},

        // "Get Pic SPI": "C:04" (exchange 0), "C:02#" (1), the first "C:02 " (2).
        // Every exchange makes the same calls, each met in the Exchange rows: here
        // one failing step for each exchange of a download.
        {SpiDownload, "USBPipeOUT", "ClearPipe", 0, {}, "picture", W},
        {SpiDownload, "USBPipeOUT", "BeginWriting", 1, {S, NoUsb}, "unchanged", W},
        {SpiDownload, "USBPipeOUT", "QueueData", 4, {S}, "placeholder", W},
        // The length request goes out twice; the second length reply is taken
        // for the first block, and every block for the one after it.
        {SpiDownload, "USBPipeOUT", "FetchWriteStatus", 1, {S}, "placeholder", W},
        {SpiDownload, "USBPipeIN", "FetchData", 0, {Fail}, "unchanged", FailAfter},
        {SpiDownload, "USBPipeIN", "FetchData", 2, {Fail}, "unchanged", FailAfter},
        {SpiDownload, "USBPipeIN", "ReadTransfer", 2, {}, "placeholder", FailAfter},

        // "Get Pic UART": "C:15#" (exchange 0), "C:15 " (1).
        {UartDownload, "USBPipeOUT", "ClearPipe", 0, {NoUsb}, "unchanged", W},
        {UartDownload, "USBPipeOUT", "BeginWriting", 1, {S}, "placeholder", W},
        {UartDownload, "USBPipeIN", "FetchData", 0, {Fail}, "unchanged", FailAfter},
        {UartDownload, "USBPipeIN", "ReadTransfer", 1, {}, "placeholder", FailAfter},

        // The file input pipe: reading stops without a word.
        {FilePipe, "USBPipeFileIN", "FetchData", 0, {}, "not saved", After::FileInStopsUntilReplug},
        {FilePipe, "USBPipeFileIN", "ReadTransfer", 0, {}, "not saved", After::FileInStopsUntilReplug},
    };
    // clang-format on
}

const QString EntryText = QStringLiteral("0123456789ABCDEF");
// A wait for a reply that cannot come is short; elsewhere it is the program's
// own, so a slow machine does not turn a reply into "FAIL".
constexpr int QuickTimeLimitMs = 50;
constexpr int NormalTimeLimitMs = 3000;

void Settle()
{
    for (int pass = 0; pass < 20; ++pass)
        QCoreApplication::processEvents();
}

// Waits until the plug handler has set the window caption.
bool AwaitCaption(WindowFixture& f, const char* caption)
{
    QSignalSpy changed(&f.link, &BoardLink::CaptionChanged);
    while (f.window.windowTitle() != QLatin1StringView(caption)) {
        if (!changed.wait(5000))
            return false;
    }
    return true;
}

// The window with its board, a small test picture and its own folder.
struct Rig {
    QTemporaryDir folder;
    std::unique_ptr<WindowFixture> f;

    Rig(EndpointLayout layout, const std::function<void(WindowFixture&)>& beforeLoad)
    {
        f = std::make_unique<WindowFixture>(layout, true, [&](WindowFixture& w) {
            w.board.SetPictureRenderer(
                [](int, int, int frame) { return RenderTestPicture(80, 60, frame); });
            if (beforeLoad)
                beforeLoad(w);
        });
        f->tool.AppFolder = folder.path();
        f->tool.ReadFilePath = folder.filePath(QStringLiteral("readfile.jpg"));
    }

    QString Box(const char* name) { return f->Get<QLineEdit>(name)->text(); }

    QString SendEntry()
    {
        auto* entry = f->Get<QLineEdit>("cmdEntry");
        entry->setText(EntryText);
        f->Get<QLineEdit>("retString")->clear();
        QTest::keyClick(entry, Qt::Key_Return);
        return Box("retString");
    }

    bool FileSaved(const QByteArray& data)
    {
        QFile file(f->tool.ReadFilePath);
        return file.open(QIODevice::ReadOnly) && file.readAll().startsWith(data);
    }

    bool Replug()
    {
        f->bus.Unplug(&f->board);
        if (!AwaitCaption(*f, CaptionNoUnit))
            return false;
        f->bus.Plug(&f->board);
        return AwaitCaption(*f, CaptionLinked) &&
               Control<QLineEdit>(f->window, "TxtUSB")->text() == "USB OK";
    }
};

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
    normalReply_ = rig.SendEntry();
    QVERIFY(!normalReply_.isEmpty() && !normalReply_.startsWith(QStringLiteral("FAIL")));
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
    int turn = 0;
    for (int p = 0; p < places.size(); ++p) {
        const Place& place = places[p];
        for (int bit = 0; bit < int(std::size(ViaNames)); ++bit) {
            if (!(place.via & (1u << bit)))
                continue;
            const usb::Status status = statuses[turn++ % count];
            QTest::addRow("%s %s.%s#%d%s 0x%08x", ViaNames[bit], place.object, place.operation,
                          place.skip,
                          place.layout == EndpointLayout::CommandOnly ? " (command only)" : "",
                          unsigned(status))
                << int(1u << bit) << p << int(status);
        }
    }
}

void FaultMatrixTest::faults()
{
    QFETCH(int, via);
    QFETCH(int, placeIndex);
    QFETCH(int, status);
    const Place place = Places().at(placeIndex);
    auto inject = [&](usb::VirtualBus& bus) {
        const QString object = QString::fromLatin1(place.object);
        bus.InjectFault(object, QString::fromLatin1(place.operation), status, place.skip, 1);
        if (place.alsoOperation)
            bus.InjectFault(object, QString::fromLatin1(place.alsoOperation), status,
                            place.alsoSkip, 1);
    };
    const bool timesOut = place.after == After::FailUntilReplug || place.result.contains("FAIL") ||
                          place.shown.contains(QStringLiteral("FAIL"));
    Rig rig(place.layout, [&](WindowFixture& w) {
        w.link.SetReplyTimeLimit(timesOut ? QuickTimeLimitMs : NormalTimeLimitMs);
        if (via == StartUp)
            inject(w.bus);
    });
    WindowFixture& f = *rig.f;
    // A mark in the picture box tells a download that shows nothing from one
    // that shows the placeholder.
    auto* image1 = f.Get<QLabel>("Image1");
    QPixmap mark(3, 3);
    mark.fill(Qt::magenta);
    image1->setPixmap(mark);
    const QByteArray fileData = "file pipe data " + QByteArray::number(placeIndex);

    QString result;
    switch (via) {
    case StartUp:
        break;
    case PlugIn:
        f.bus.Unplug(&f.board);
        QVERIFY(AwaitCaption(f, CaptionNoUnit));
        inject(f.bus);
        f.bus.Plug(&f.board);
        QVERIFY(AwaitCaption(f, CaptionLinked));
        break;
    case Unplug:
        inject(f.bus);
        f.bus.Unplug(&f.board);
        QVERIFY(AwaitCaption(f, CaptionNoUnit));
        break;
    case Exchange:
        inject(f.bus);
        result = rig.SendEntry();
        if (result == normalReply_ || result.startsWith(QStringLiteral("FAIL")))
            result = result == normalReply_ ? QStringLiteral("reply") : QStringLiteral("FAIL");
        break;
    case SpiDownload:
    case UartDownload: {
        inject(f.bus);
        f.Get<QAbstractButton>(via == SpiDownload ? "cmdDwnldPic" : "cmdDwnldPicSer")->click();
        QVERIFY(!f.window.findChild<PictureDownload*>()->Running()); // the click returns at its end
        const QPixmap shown = image1->pixmap();
        if (shown.cacheKey() == mark.cacheKey())
            result = QStringLiteral("unchanged");
        else if (shown.size() == QSize(80, 60))
            result = QStringLiteral("picture");
        else if (shown.size() == QPixmap(QStringLiteral(":/bitmap101.png")).size())
            result = QStringLiteral("placeholder");
        else
            result = QStringLiteral("picture of size %1x%2").arg(shown.width()).arg(shown.height());
        break;
    }
    case FilePipe:
        inject(f.bus);
        f.board.SendOnFileIn(fileData);
        Settle();
        result = rig.FileSaved(fileData) ? QStringLiteral("saved") : QStringLiteral("not saved");
        break;
    }
    if (via & (Opening | Unplug))
        result = Control<QLineEdit>(f.window, "TxtUSB")->text();
    if (QTest::currentTestFailed())
        return;
    Settle();

    // The fault was met where the table says it is.
    QCOMPARE(f.bus.PendingFaults(), 0);
    QStringList expected = place.shown;
    expected.replaceInStrings(S, usb::StatusText(status));
    QCOMPARE(f.messages, expected);
    QCOMPARE(result, place.result);
    QVERIFY(!Probe(f.link).Receive().Quiet());
    QVERIFY(!f.link.Waiting());
    QVERIFY(f.Get<QAbstractButton>("cmdDwnldPic")->isEnabled());

    // The program carries on.
    f.link.SetReplyTimeLimit(NormalTimeLimitMs);
    switch (place.after) {
    case After::Works:
        break;
    case After::NoUsbUntilReplug:
        QCOMPARE(rig.SendEntry(), QStringLiteral("No USB"));
        break;
    case After::FailUntilReplug:
        f.link.SetReplyTimeLimit(10); // nothing is read, no reply can end the wait
        QVERIFY(rig.SendEntry().startsWith(QStringLiteral("FAIL")));
        f.link.SetReplyTimeLimit(NormalTimeLimitMs);
        break;
    case After::FileInStopsUntilReplug:
        QCOMPARE(rig.SendEntry(), normalReply_);
        f.board.SendOnFileIn("not saved either");
        Settle();
        QVERIFY(!QFile::exists(f.tool.ReadFilePath));
        break;
    }
    if (place.after != After::Works)
        QVERIFY(rig.Replug());
    QCOMPARE(rig.SendEntry(), normalReply_);
    if (place.after == After::FileInStopsUntilReplug) {
        f.board.SendOnFileIn(fileData);
        QTRY_VERIFY(rig.FileSaved(fileData));
    }
    Settle();
    QCOMPARE(f.messages, expected);
}

QTEST_MAIN(FaultMatrixTest)
#include "test_fault_matrix.moc"
