// The USB component contract, kept by both backends: the same cases run on the
// simulated objects and, built with Q815_TEST_LIBUSB, through real libusb on the
// virtual board served as a USB device. Each backend's own cases follow.
#include "BoardPort.h" // first: it may include umockdev's header

#ifdef Q815_TEST_LIBUSB
#include "link/usb/LibusbStatus.h"
#include "link/usb/LibusbUsbObject.h"
#include <fcntl.h>
#include <libusb.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace usb;

namespace {

const QString kGuid = QStringLiteral("{325ddf96-938c-11d3-9e34-0080c82727f4}");

QByteArray Block(const QByteArray& command)
{
    return command.leftJustified(128, ' ', true);
}

// Opens object's board and claims the interface, as the link does; binds the
// endpoint unless it is 0.
Status Bind(UsbObject& object, std::uint8_t endpoint)
{
    Status s = object.AttachDevice(0);
    if (s == StatusSuccess)
        s = object.DefineInterface(0, 0, 64000);
    if (s == StatusSuccess)
        s = object.ApplyConfiguration(0);
    if (s == StatusSuccess && endpoint != 0)
        s = object.AssignEndpoint(endpoint);
    return s;
}

// One board on one backend, plugged in when the first object is opened. The
// endpoints each layout offers are met through the link in test_board_discovery.
struct Rig {
    VirtualBoard board;
    BoardPort port{board};
    std::unique_ptr<UsbBackend> backend;
    void Plug()
    {
        port.Plug();
        if (!backend)
            backend = port.MakeBackend();
    }
    void Unplug() { port.Unplug(); }
    // An object of that name, opened and bound; null when any step fails.
    std::unique_ptr<UsbObject> Open(const QString& name, std::uint8_t endpoint)
    {
        if (!port.Plugged())
            Plug();
        std::int32_t failure = -1;
        QObject owner;
        std::unique_ptr<UsbObject> object(backend->CreateObject(name, &owner, failure));
        if (!object || failure != 0 || object->objectName() != name || object->parent() != &owner)
            return nullptr;
        object->setParent(nullptr);
        if (Bind(*object, endpoint) != StatusSuccess)
            return nullptr;
        return object;
    }
};

} // namespace

class UsbContractTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Rig> rig_;

private Q_SLOTS:
    void init() { rig_ = std::make_unique<Rig>(); }
    void cleanup() { rig_.reset(); }

    void writeEventOrder()
    {
        auto out = rig_->Open("USBPipeOUT", 0x02);
        QVERIFY(out);
        QStringList events;
        connect(out.get(), &UsbObject::WriteStatusAvailable, this, [&] { events << "status"; });
        connect(out.get(), &UsbObject::WriteComplete, this, [&] { events << "complete"; });

        QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
        QCOMPARE(out->QueueData(Block("C:20"), 7), StatusSuccess);
        // One buffer, still in use; nothing is raised from inside QueueData.
        QCOMPARE(out->QueueData(Block("C:20"), 8), StatusQueueFull);
        QVERIFY(events.isEmpty());
        QCOMPARE(out->QueueData(QByteArray(129, ' '), 9), StatusBadArgument);

        QTRY_COMPARE(events, (QStringList{"status", "complete"}));
        std::int32_t tag = 0;
        QCOMPARE(out->FetchWriteStatus(tag), StatusSuccess);
        QCOMPARE(tag, 7);
        QCOMPARE(out->FetchWriteStatus(tag), StatusNoData);
        QTRY_COMPARE(rig_->board.CommandBlocks(), QList<QByteArray>{Block("C:20")});
        QCOMPARE(out->QueueData(Block("C:21"), 10), StatusSuccess); // the buffer is free again
    }

    void noWriteEventsAfterEnd_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("end in the status handler") << "in handler";
        QTest::newRow("end right after queueing") << "before";
        QTest::newRow("begin again right after queueing") << "restart";
    }

    void noWriteEventsAfterEnd()
    {
        QFETCH(QString, when);
        auto out = rig_->Open("USBPipeOUT", 0x02);
        QVERIFY(out);
        QSignalSpy status(out.get(), &UsbObject::WriteStatusAvailable);
        QSignalSpy complete(out.get(), &UsbObject::WriteComplete);
        if (when == "in handler") {
            // What the command pipe does: fetch the status, then stop writing.
            connect(out.get(), &UsbObject::WriteStatusAvailable, this, [&out] {
                std::int32_t tag = 0;
                if (out->FetchWriteStatus(tag) == StatusSuccess)
                    out->EndWriting();
            });
        }
        QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
        QCOMPARE(out->QueueData(Block("C:20"), 1), StatusSuccess);
        if (when == "before")
            QCOMPARE(out->EndWriting(), StatusSuccess);
        if (when == "restart")
            QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
        if (when == "in handler")
            QTRY_COMPARE(status.size(), 1);
        QVERIFY(Drain());
        QCOMPARE(status.size(), when == "in handler" ? 1 : 0);
        QCOMPARE(complete.size(), 0);
#ifdef Q815_TEST_LIBUSB
        QCOMPARE(static_cast<LibusbUsbObject*>(out.get())->WritesInFlight(), 0);
#endif
    }

    void readsInOrderBoundedByCount()
    {
        auto in = rig_->Open("USBPipeIN", 0x82);
        QVERIFY(in);
        QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
        QCOMPARE(in->BeginReading(64, 3, 5), StatusSuccess);
        for (int i = 0; i < 10; ++i)
            rig_->board.SendOnCommandIn("chunk " + QByteArray::number(i));
        QVERIFY(readComplete.isEmpty()); // reads finish in the event loop, not here

        QTRY_COMPARE(readComplete.size(), 3);
        QVERIFY(Drain());
        QCOMPARE(readComplete.size(), 3); // the board's flood waits in the board
        QVERIFY(rig_->board.HasPending(0x82));

        QList<QByteArray> received;
        QByteArray buffer(64, '\0');
        QVERIFY(QTest::qWaitFor(
            [&] {
                std::int32_t n = 0;
                while (in->FetchData(buffer, n) == StatusSuccess)
                    received << buffer.left(n);
                return received.size() == 10;
            },
            5000));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(received[i], "chunk " + QByteArray::number(i));
        QCOMPARE(readComplete.size(), 10);

        QCOMPARE(in->EndReading(), StatusSuccess);
        rig_->board.SendOnCommandIn("late");
        QVERIFY(Drain());
        QCOMPARE(readComplete.size(), 10);
        QVERIFY(rig_->board.HasPending(0x82)); // nobody took it
    }

    void fetchStaysInsideBufferAndClearDrops()
    {
        auto in = rig_->Open("USBPipeIN", 0x82);
        QVERIFY(in);
        QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
        QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
        const QByteArray data = "0123456789abcdefghijklmnopqrstuvwxyz";
        rig_->board.SendOnCommandIn(data);
        QTRY_COMPARE(readComplete.size(), 1);

        // The bytes after the buffer's end (past its terminating zero), inside its
        // allocation, must stay untouched.
        QByteArray buffer;
        buffer.reserve(64);
        buffer.resize(64, '#');
        buffer.resize(10);
        std::int32_t n = 0;
        QCOMPARE(in->FetchData(buffer, n), StatusSuccess);
        QCOMPARE(n, 10);
        QCOMPARE(buffer, data.left(10));
        QCOMPARE(QByteArray(buffer.constData() + 11, 53), QByteArray(53, '#'));
        QCOMPARE(in->FetchData(buffer, n), StatusNoData);
        QCOMPARE(n, 0);

        rig_->board.SendOnCommandIn("stale");
        QTRY_COMPARE(readComplete.size(), 2);
        QCOMPARE(in->ClearPipe(), StatusSuccess);
        QCOMPARE(in->FetchData(buffer, n), StatusNoData);
        rig_->board.SendOnCommandIn("fresh");
        QTRY_COMPARE(readComplete.size(), 3);
        QCOMPARE(in->FetchData(buffer, n), StatusSuccess);
        QCOMPARE(buffer.left(n), QByteArray("fresh"));
    }

    void unplugAndPlug()
    {
        rig_->Plug();
        std::int32_t failure = 0;
        std::unique_ptr<UsbObject> device(
            rig_->backend->CreateObject("USBDevice", nullptr, failure));
        QCOMPARE(device->PreparePlugEvents(kGuid), StatusSuccess);
        QCOMPARE(device->EnablePlugEvents(kGuid), StatusSuccess);
        QCOMPARE(Bind(*device, 0), StatusSuccess);
        auto in = rig_->Open("USBPipeIN", 0x82);
        auto out = rig_->Open("USBPipeOUT", 0x02);
        QVERIFY(in && out);
        QSignalSpy added(device.get(), &UsbObject::PnPAddNotification);
        QSignalSpy removed(device.get(), &UsbObject::PnPRemoveNotification);
        QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
        QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);

        rig_->Unplug();
        QVERIFY(removed.isEmpty()); // raised from the event loop
        QTRY_COMPARE(removed.size(), 1);
        QTRY_COMPARE(readComplete.size(), 2); // both reads in flight fail, nothing more
        QByteArray buffer(64, '\0');
        std::int32_t n = 0;
        QCOMPARE(in->FetchData(buffer, n), StatusDeviceGone);
        QTRY_COMPARE(in->ClearPipe(), StatusDeviceGone);
        QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusDeviceGone);
        QCOMPARE(out->AttachDevice(0), StatusNoDevice);
#ifdef Q815_TEST_LIBUSB
        QCOMPARE(static_cast<LibusbUsbObject*>(in.get())->ReadsInFlight(), 0);
#endif
        QVERIFY(added.isEmpty());
        QVERIFY(Drain());
        QCOMPARE(readComplete.size(), 2);

        rig_->Plug();
        QTRY_COMPARE_WITH_TIMEOUT(added.size(), 1, 5000);
        // The old opening stays lost; opening again gives a working pipe.
        QCOMPARE(in->ClearPipe(), StatusDeviceGone);
        QCOMPARE(Bind(*in, 0x82), StatusSuccess);
        QCOMPARE(in->ClearPipe(), StatusSuccess);
        QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
        rig_->board.SendOnCommandIn("back");
        QTRY_COMPARE(readComplete.size(), 3);
        QCOMPARE(in->FetchData(buffer, n), StatusSuccess);
        QCOMPARE(buffer.left(n), QByteArray("back"));
    }

#ifdef Q815_TEST_LIBUSB // ---- the libusb backend's own cases ----
    void initTestCase()
    {
        VirtualBoard board;
        EmulatedUsbDevice device(board); // the testbed, that the preload leads into
        QVERIFY2(EmulatedUsbDevice::PreloadActive(),
                 "run with LD_PRELOAD=libumockdev-preload.so.0 (ctest sets it)");
    }

    void libusbFailures()
    {
        const auto maps = [](int error, Status status, const char* advice) {
            return StatusFromLibusbError(error) == status &&
                   StatusText(status).contains(QLatin1String(advice));
        };
        QVERIFY(maps(LIBUSB_ERROR_ACCESS, StatusAccessDenied, "udev rule"));
        QVERIFY(maps(LIBUSB_ERROR_BUSY, StatusBusy, "another program"));
        QVERIFY(maps(LIBUSB_ERROR_NO_DEVICE, StatusDeviceGone, "plug it in"));
        QVERIFY(maps(-1234, StatusInternal, "report"));
        QCOMPARE(StatusFromTransfer(LIBUSB_TRANSFER_NO_DEVICE), StatusDeviceGone);
        // Every status says something of its own; an unknown one shows its code.
        int count = 0;
        const Status* failures = FailureStatuses(count);
        QSet<QString> texts{StatusText(StatusNoData), StatusText(StatusQueueFull)};
        for (int i = 0; i < count; ++i)
            texts.insert(StatusText(failures[i]));
        QCOMPARE(texts.size(), count + 2);
        QVERIFY(StatusText(MakeStatus(0xE000A0FF)).contains(QStringLiteral("E000A0FF")));
    }

    // Plugging announces the board once its node answers: a program that
    // claims it at once must not meet a node that knows no usbfs request (libusb
    // makes that "other error", the window's "internal error").
    void announcedBoardAnswers()
    {
        int claim = -1;
        rig_->port.device.SetOnAnnounced([&] {
            const int fd = ::open(qPrintable(rig_->port.device.DeviceNode()), O_RDWR);
            unsigned int interface = 0;
            claim = fd >= 0 && ::ioctl(fd, USBDEVFS_CLAIMINTERFACE, &interface) == 0 ? 0 : errno;
            if (fd >= 0)
                ::close(fd);
        });
        rig_->Plug();
        QCOMPARE(claim, 0);
    }

    void sharedOpenBoard()
    {
        auto device = rig_->Open("USBDevice", 0);
        auto in = rig_->Open("USBPipeIN", 0x82);
        QVERIFY(device && in);
        auto* d = static_cast<LibusbUsbObject*>(device.get());
        auto* i = static_cast<LibusbUsbObject*>(in.get());
        QCOMPARE(i->Device(), d->Device()); // one open handle for all
        QCOMPARE(d->AttachDevice(1), StatusNoDevice);
        QCOMPARE(d->DetachDevice(), StatusSuccess);
        QCOMPARE(d->DetachDevice(), StatusNotAttached);
        QVERIFY(i->Device() != nullptr); // still open for the others
        QCOMPARE(i->ClearPipe(), StatusSuccess);
    }

    // Ending or destroying (with a write in flight) cancels the transfers in
    // flight and waits for them: no completion reaches the object afterwards.
    void transfersCancelledAndWaitedFor()
    {
        for (bool destroy : {false, true}) {
            rig_.reset(); // one testbed at a time
            rig_ = std::make_unique<Rig>();
            rig_->board.SetSilent(true);
            auto in = rig_->Open("USBPipeIN", 0x82);
            auto out = rig_->Open("USBPipeOUT", 0x02);
            QVERIFY(in && out);
            auto* reader = static_cast<LibusbUsbObject*>(in.get());
            QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
            QCOMPARE(in->BeginReading(512, 4, 5), StatusSuccess);
            QCOMPARE(reader->ReadsInFlight(), 4);
            const int discarded = rig_->port.device.DiscardedUrbs();
            if (destroy) {
                QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
                QCOMPARE(out->QueueData(Block("C:20"), 1), StatusSuccess);
                in.reset();
                out.reset();
                QVERIFY(rig_->port.device.DiscardedUrbs() >= discarded + 4);
                rig_.reset();
                QVERIFY(Drain()); // anything still posted would run (and crash) here
                return;
            }
            QCOMPARE(in->EndReading(), StatusSuccess);
            QCOMPARE(reader->ReadsInFlight(), 0);
            QCOMPARE(rig_->port.device.DiscardedUrbs(), discarded + 4);
            rig_->board.SendOnCommandIn("late");
            QVERIFY(Drain());
            QCOMPARE(readComplete.size(), 0);
        }
    }
#else // ---- the simulated backend's own cases ----
    // Board, bus and backend go first (while reading), or the objects (writes pending).
    void teardownInAnyOrder()
    {
        for (bool boardFirst : {true, false}) {
            rig_ = std::make_unique<Rig>();
            auto in = rig_->Open("USBPipeIN", 0x82);
            auto out = rig_->Open("USBPipeOUT", 0x02);
            QVERIFY(in && out);
            QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
            QCOMPARE(in->BeginReading(64, 1, 5), StatusSuccess);
            QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
            QCOMPARE(out->QueueData(Block("C:20"), 1), StatusSuccess);
            rig_->board.SendOnCommandIn("pending");
            if (!boardFirst) {
                in.reset();
                out.reset();
                QVERIFY(Drain());
                QVERIFY(rig_->board.ReceivedBlocks().isEmpty()); // the write died with its pipe
                return;
            }
            rig_.reset();
            QTRY_COMPARE(readComplete.size(), 1);
            QByteArray buffer(64, '\0');
            std::int32_t n = 0;
            QCOMPARE(in->FetchData(buffer, n), StatusDeviceGone);
            QCOMPARE(in->ClearPipe(), StatusDeviceGone);
            QCOMPARE(in->AttachDevice(0), StatusNoDevice);
        }
    }
#endif
};

QTEST_GUILESS_MAIN(UsbContractTest)
#include "test_usb_contract.moc"
