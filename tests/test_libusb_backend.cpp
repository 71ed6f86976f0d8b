// The libusb component objects through real libusb against the virtual board
// served as a USB device: the contract that the simulated objects keep.
#include "EmulatedUsbDevice.h"
#include "link/usb/LibusbBackend.h"
#include "link/usb/LibusbStatus.h"
#include "link/usb/LibusbUsbObject.h"
#include "link/usb/VirtualBoard.h"

#include <QSignalSpy>
#include <QTest>
#include <libusb.h>
#include <memory>

using namespace usb;

Q_DECLARE_METATYPE(usb::EndpointLayout)

namespace {

QByteArray Block(const QByteArray& command)
{
    return command.leftJustified(128, ' ', true);
}

bool Drain()
{
    bool done = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&done] { done = true; },
                              Qt::QueuedConnection);
    return QTest::qWaitFor([&done] { return done; }, 2000);
}

} // namespace

class TestLibusbBackend : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void libusbFailures_data();
    void libusbFailures();
    void sharedOpenBoard();
    void endpointsPerLayout_data();
    void endpointsPerLayout();
    void writeEventOrder();
    void noWriteEventsAfterEnd_data();
    void noWriteEventsAfterEnd();
    void readsInOrderBoundedByCount();
    void fetchStaysInsideBuffer();
    void endReadingCancelsAndWaits();
    void clearPipeDropsQueuedReads();
    void gonePipeRefuses();

private:
    std::unique_ptr<LibusbUsbObject> Open(const QString& name, std::uint8_t endpoint);

    std::unique_ptr<VirtualBoard> board_;
    std::unique_ptr<EmulatedUsbDevice> device_;
    std::unique_ptr<LibusbBackend> backend_;
};

void TestLibusbBackend::initTestCase()
{
    VirtualBoard board;
    EmulatedUsbDevice device(board);
    QVERIFY2(EmulatedUsbDevice::PreloadActive(),
             "run with LD_PRELOAD=libumockdev-preload.so.0 (ctest sets it)");
}

void TestLibusbBackend::init()
{
    board_ = std::make_unique<VirtualBoard>();
    device_ = std::make_unique<EmulatedUsbDevice>(*board_);
}

void TestLibusbBackend::cleanup()
{
    backend_.reset();
    device_.reset();
    board_.reset();
}

// Plugs the board in, sets up the backend, and opens an object bound to
// endpoint (0: unbound) with the interface claimed.
std::unique_ptr<LibusbUsbObject> TestLibusbBackend::Open(const QString& name,
                                                         std::uint8_t endpoint)
{
    if (!device_->Plugged())
        device_->Plug();
    if (!backend_)
        backend_ = std::make_unique<LibusbBackend>(board_->VendorId(), board_->ProductId());
    std::int32_t failure = -1;
    std::unique_ptr<LibusbUsbObject> object(
        static_cast<LibusbUsbObject*>(backend_->CreateObject(name, nullptr, failure)));
    if (!object || object->AttachDevice(0) != StatusSuccess
        || object->DefineInterface(0, 0, 64000) != StatusSuccess
        || object->ApplyConfiguration(0) != StatusSuccess)
        return nullptr;
    if (endpoint != 0 && object->AssignEndpoint(endpoint) != StatusSuccess)
        return nullptr;
    return object;
}

void TestLibusbBackend::libusbFailures_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<Status>("status");
    QTest::newRow("no permission") << int(LIBUSB_ERROR_ACCESS) << StatusAccessDenied;
    QTest::newRow("held elsewhere") << int(LIBUSB_ERROR_BUSY) << StatusBusy;
    QTest::newRow("unplugged") << int(LIBUSB_ERROR_NO_DEVICE) << StatusDeviceGone;
    QTest::newRow("not found") << int(LIBUSB_ERROR_NOT_FOUND) << StatusNoDevice;
    QTest::newRow("stall") << int(LIBUSB_ERROR_PIPE) << StatusStalled;
    QTest::newRow("overflow") << int(LIBUSB_ERROR_OVERFLOW) << StatusOverflow;
    QTest::newRow("unknown code") << -1234 << StatusInternal;
}

void TestLibusbBackend::libusbFailures()
{
    QFETCH(int, error);
    QFETCH(Status, status);
    QCOMPARE(StatusFromLibusbError(error), status);
    // Every failure has a text of its own that says what to do.
    QVERIFY(StatusText(status).contains(u':'));
    QCOMPARE(StatusFromTransfer(LIBUSB_TRANSFER_NO_DEVICE), StatusDeviceGone);
    QCOMPARE(StatusFromTransfer(LIBUSB_TRANSFER_STALL), StatusStalled);
}

void TestLibusbBackend::sharedOpenBoard()
{
    auto device = Open("USBDevice", 0);
    auto in = Open("USBPipeIN", 0x82);
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(device && in && out);
    QCOMPARE(in->Device(), device->Device()); // one open handle for all
    QCOMPARE(out->Device(), device->Device());
    QCOMPARE(device->AttachDevice(1), StatusNoDevice);
    QCOMPARE(device->DetachDevice(), StatusSuccess);
    QCOMPARE(device->DetachDevice(), StatusNotAttached);
    QVERIFY(in->Device() != nullptr); // still open for the others
    QCOMPARE(in->ClearPipe(), StatusSuccess);
}

void TestLibusbBackend::endpointsPerLayout_data()
{
    QTest::addColumn<EndpointLayout>("layout");
    QTest::addColumn<bool>("in130");
    QTest::addColumn<QList<int>>("accepted");
    QTest::newRow("download") << EndpointLayout::Download << true << QList<int>{0x06};
    QTest::newRow("full") << EndpointLayout::Full << true << QList<int>{0x02, 0x82, 0x04, 0x84};
    QTest::newRow("command only 129")
        << EndpointLayout::CommandOnly << false << QList<int>{0x01, 0x81};
}

void TestLibusbBackend::endpointsPerLayout()
{
    QFETCH(EndpointLayout, layout);
    QFETCH(bool, in130);
    QFETCH(QList<int>, accepted);
    board_->SetLayout(layout, in130);
    auto pipe = Open("USBPipeIN", 0);
    QVERIFY(pipe);
    for (int address : {0x01, 0x02, 0x04, 0x06, 0x81, 0x82, 0x84}) {
        const Status expected = accepted.contains(address) ? StatusSuccess : StatusNoEndpoint;
        QCOMPARE(pipe->AssignEndpoint(std::uint8_t(address)), expected);
    }
}

void TestLibusbBackend::writeEventOrder()
{
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(out);
    QStringList events;
    connect(out.get(), &UsbObject::WriteStatusAvailable, this, [&] { events << "status"; });
    connect(out.get(), &UsbObject::WriteComplete, this, [&] { events << "complete"; });

    QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
    QCOMPARE(out->QueueData(Block("C:20"), 7), StatusSuccess);
    QCOMPARE(out->QueueData(Block("C:20"), 8), StatusQueueFull); // one buffer, still in use
    QVERIFY(events.isEmpty());                                    // nothing from inside QueueData
    QCOMPARE(out->QueueData(QByteArray(129, ' '), 9), StatusBadArgument);

    QTRY_COMPARE(events, (QStringList{"status", "complete"}));
    std::int32_t tag = 0;
    QCOMPARE(out->FetchWriteStatus(tag), StatusSuccess);
    QCOMPARE(tag, 7);
    QCOMPARE(out->FetchWriteStatus(tag), StatusNoData);
    QTRY_COMPARE(board_->CommandBlocks(), QList<QByteArray>{Block("C:20")});
    QCOMPARE(out->QueueData(Block("C:21"), 10), StatusSuccess); // the buffer is free again
}

void TestLibusbBackend::noWriteEventsAfterEnd_data()
{
    QTest::addColumn<bool>("endInHandler");
    QTest::newRow("end in the status handler") << true;
    QTest::newRow("end right after queueing") << false;
}

void TestLibusbBackend::noWriteEventsAfterEnd()
{
    QFETCH(bool, endInHandler);
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(out);
    QSignalSpy status(out.get(), &UsbObject::WriteStatusAvailable);
    QSignalSpy complete(out.get(), &UsbObject::WriteComplete);
    if (endInHandler) {
        connect(out.get(), &UsbObject::WriteStatusAvailable, this, [&out] {
            std::int32_t tag = 0;
            if (out->FetchWriteStatus(tag) == StatusSuccess)
                out->EndWriting();
        });
    }
    QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
    QCOMPARE(out->QueueData(Block("C:20"), 1), StatusSuccess);
    if (!endInHandler) {
        QCOMPARE(out->EndWriting(), StatusSuccess);
        QCOMPARE(out->WritesInFlight(), 0); // ended means given back
    } else {
        QTRY_COMPARE(status.size(), 1);
    }
    QVERIFY(Drain());
    QCOMPARE(out->WritesInFlight(), 0);
    QCOMPARE(status.size(), endInHandler ? 1 : 0);
    QCOMPARE(complete.size(), 0);
}

void TestLibusbBackend::readsInOrderBoundedByCount()
{
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(in);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 3, 5), StatusSuccess);
    for (int i = 0; i < 10; ++i)
        board_->SendOnCommandIn("chunk " + QByteArray::number(i));
    QVERIFY(readComplete.isEmpty()); // reads finish in the event loop, not here

    QTRY_COMPARE(readComplete.size(), 3);
    QCOMPARE(in->ReadsInFlight(), 0); // no read left to take more
    QVERIFY(Drain());
    QCOMPARE(readComplete.size(), 3); // the board's flood waits in the board
    QVERIFY(board_->HasPending(0x82));

    QList<QByteArray> received;
    QByteArray buffer(64, '\0');
    QVERIFY(QTest::qWaitFor([&] {
        std::int32_t n = 0;
        while (in->FetchData(buffer, n) == StatusSuccess)
            received << buffer.left(n);
        return received.size() == 10;
    }, 5000));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(received[i], "chunk " + QByteArray::number(i));
    QCOMPARE(readComplete.size(), 10);
    QCOMPARE(in->ReadsInFlight(), 3); // every fetched read went back into flight
}

void TestLibusbBackend::fetchStaysInsideBuffer()
{
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(in);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
    const QByteArray data = "0123456789abcdefghijklmnopqrstuvwxyz";
    board_->SendOnCommandIn(data);
    QTRY_COMPARE(readComplete.size(), 1);
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
}

void TestLibusbBackend::endReadingCancelsAndWaits()
{
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(in);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(512, 4, 5), StatusSuccess);
    QCOMPARE(in->ReadsInFlight(), 4);
    const int discarded = device_->DiscardedUrbs();
    QCOMPARE(in->EndReading(), StatusSuccess);
    QCOMPARE(in->ReadsInFlight(), 0);
    QCOMPARE(device_->DiscardedUrbs(), discarded + 4);
    board_->SendOnCommandIn("late");
    QVERIFY(Drain());
    QCOMPARE(readComplete.size(), 0);
    QVERIFY(board_->HasPending(0x82)); // nobody took it
}

void TestLibusbBackend::clearPipeDropsQueuedReads()
{
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(in);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
    board_->SendOnCommandIn("stale");
    QTRY_COMPARE(readComplete.size(), 1);
    QCOMPARE(in->ClearPipe(), StatusSuccess);
    QByteArray buffer(64, '\0');
    std::int32_t n = 0;
    QCOMPARE(in->FetchData(buffer, n), StatusNoData);
    QTRY_COMPARE(in->ReadsInFlight(), 2);
    board_->SendOnCommandIn("fresh");
    QTRY_COMPARE(readComplete.size(), 2);
    QCOMPARE(in->FetchData(buffer, n), StatusSuccess);
    QCOMPARE(buffer.left(n), QByteArray("fresh"));
}

void TestLibusbBackend::gonePipeRefuses()
{
    auto in = Open("USBPipeIN", 0x82);
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(in && out);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
    device_->Unplug();
    QTRY_COMPARE(readComplete.size(), 2); // both reads in flight fail
    QByteArray buffer(64, '\0');
    std::int32_t n = 0;
    QCOMPARE(in->FetchData(buffer, n), StatusDeviceGone);
    QTRY_COMPARE(in->ClearPipe(), StatusDeviceGone);
    QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusDeviceGone);
    QCOMPARE(out->AttachDevice(0), StatusNoDevice);
}

QTEST_GUILESS_MAIN(TestLibusbBackend)
#include "test_libusb_backend.moc"
