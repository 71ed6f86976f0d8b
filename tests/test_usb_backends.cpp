// Each USB backend's own cases; their common contract is test_usb_contract's.
#include "UsbRig.h" // first: it may include umockdev's header

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

using namespace usbrig;

class UsbBackendTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Rig> rig_;

private Q_SLOTS:
    void init() { rig_ = std::make_unique<Rig>(); }
    void cleanup() { rig_.reset(); }

#ifdef Q815_TEST_LIBUSB
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
#else
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

QTEST_GUILESS_MAIN(UsbBackendTest)
#include "test_usb_backends.moc"
