// The simulated USB component against virtual boards: event order of writes,
// flow control of reads, faults, plug and unplug, and teardown in any order.
#include "link/usb/SimBackend.h"
#include "link/usb/SimUsbObject.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace usb;

Q_DECLARE_METATYPE(usb::EndpointLayout)

namespace {

const QString kGuid = QStringLiteral("{325ddf96-938c-11d3-9e34-0080c82727f4}");

QByteArray Block(const QByteArray& command)
{
    return command.leftJustified(128, ' ', true);
}

// Lets everything posted so far run: a marker posted now runs after it.
bool Drain()
{
    bool done = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&done] { done = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&done] { return done; }, 2000);
}

} // namespace

class TestSimBackend : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void createObject();
    void statusTexts();
    void endpointsPerLayout_data();
    void endpointsPerLayout();
    void writeEventOrder();
    void noWriteEventsAfterEnd_data();
    void noWriteEventsAfterEnd();
    void writeFailuresEndWriting();
    void readsInOrderBoundedByCount();
    void fetchStaysInsideBuffer();
    void commandRoundTrip_data();
    void commandRoundTrip();
    void faultCounting_data();
    void faultCounting();
    void readFaults_data();
    void readFaults();
    void unplugAndPlug();
    void teardownInAnyOrder_data();
    void teardownInAnyOrder();

private:
    // An object attached to the first board and bound to endpoint (0: unbound).
    std::unique_ptr<UsbObject> Open(const QString& name, std::uint8_t endpoint);

    std::unique_ptr<VirtualBus> bus_;
    std::unique_ptr<VirtualBoard> board_;
    std::unique_ptr<SimBackend> backend_;
};

void TestSimBackend::init()
{
    bus_ = std::make_unique<VirtualBus>();
    board_ = std::make_unique<VirtualBoard>();
    backend_ = std::make_unique<SimBackend>(*bus_);
    bus_->Plug(board_.get());
}

void TestSimBackend::cleanup()
{
    backend_.reset();
    board_.reset();
    bus_.reset();
}

std::unique_ptr<UsbObject> TestSimBackend::Open(const QString& name, std::uint8_t endpoint)
{
    std::int32_t failure = -1;
    std::unique_ptr<UsbObject> object(backend_->CreateObject(name, nullptr, failure));
    if (!object || object->AttachDevice(0) != StatusSuccess)
        return nullptr;
    if (endpoint != 0 && object->AssignEndpoint(endpoint) != StatusSuccess)
        return nullptr;
    return object;
}

void TestSimBackend::createObject()
{
    QObject parent;
    std::int32_t failure = 0;
    backend_->SetCreateFailure(0x80040154);
    QVERIFY(!backend_->CreateObject("USBDevice", &parent, failure));
    QCOMPARE(failure, std::int32_t(0x80040154));
    backend_->SetCreateFailure(0);
    UsbObject* object = backend_->CreateObject("USBPipeIN", &parent, failure);
    QVERIFY(object);
    QCOMPARE(failure, 0);
    QCOMPARE(object->objectName(), QStringLiteral("USBPipeIN"));
    QCOMPARE(object->parent(), &parent);
}

void TestSimBackend::statusTexts()
{
    int count = 0;
    const Status* failures = FailureStatuses(count);
    QCOMPARE(count, 17);
    QSet<QString> texts;
    for (int i = 0; i < count; ++i) {
        QVERIFY(failures[i] != StatusSuccess && failures[i] != StatusNoData
                && failures[i] != StatusQueueFull);
        texts.insert(StatusText(failures[i]));
    }
    texts.insert(StatusText(StatusNoData));
    texts.insert(StatusText(StatusQueueFull));
    texts.insert(StatusText(MakeStatus(0xE000A0FF)));
    QCOMPARE(texts.size(), count + 3); // each status says something of its own
    QVERIFY(StatusText(StatusAccessDenied).contains(QStringLiteral("udev rule")));
    QVERIFY(StatusText(MakeStatus(0xE000A0FF)).contains(QStringLiteral("E000A0FF")));
}

void TestSimBackend::endpointsPerLayout_data()
{
    QTest::addColumn<EndpointLayout>("layout");
    QTest::addColumn<bool>("in130");
    QTest::addColumn<QList<int>>("accepted");
    QTest::newRow("download") << EndpointLayout::Download << true << QList<int>{0x06};
    QTest::newRow("full") << EndpointLayout::Full << true << QList<int>{0x02, 0x82, 0x04, 0x84};
    QTest::newRow("command only 129") << EndpointLayout::CommandOnly << false << QList<int>{0x01, 0x81};
}

void TestSimBackend::endpointsPerLayout()
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

void TestSimBackend::writeEventOrder()
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
    QCOMPARE(board_->CommandBlocks(), QList<QByteArray>{Block("C:20")});
    QCOMPARE(out->QueueData(Block("C:21"), 10), StatusSuccess); // the buffer is free again
}

void TestSimBackend::noWriteEventsAfterEnd_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<int>("blocksSent");
    QTest::newRow("end in the status handler") << "in handler" << 1;
    QTest::newRow("end before delivery") << "before" << 0;
    QTest::newRow("begin again before delivery") << "restart" << 0;
}

void TestSimBackend::noWriteEventsAfterEnd()
{
    QFETCH(QString, when);
    QFETCH(int, blocksSent);
    auto out = Open("USBPipeOUT", 0x02);
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
    QVERIFY(Drain());
    QCOMPARE(status.size(), blocksSent);
    QCOMPARE(complete.size(), 0);
    QCOMPARE(board_->CommandBlocks().size(), blocksSent);
}

void TestSimBackend::writeFailuresEndWriting()
{
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(out);
    bus_->InjectFault("USBPipeOUT", "WriteTransfer", StatusTransferFailed, 0, -1);
    QSignalSpy complete(out.get(), &UsbObject::WriteComplete);
    QCOMPARE(out->BeginWriting(128, 1, 2, true), StatusSuccess);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        QCOMPARE(out->QueueData(Block("C:20"), attempt), StatusSuccess);
        QTRY_COMPARE(complete.size(), attempt);
        std::int32_t tag = 0;
        QCOMPARE(out->FetchWriteStatus(tag), StatusTransferFailed);
        QCOMPARE(tag, attempt);
    }
    QCOMPARE(out->QueueData(Block("C:20"), 3), StatusTransferFailed); // limit reached
    QVERIFY(board_->ReceivedBlocks().isEmpty());
}

void TestSimBackend::readsInOrderBoundedByCount()
{
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(in);
    auto* sim = static_cast<SimUsbObject*>(in.get());
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 3, 5), StatusSuccess);
    for (int i = 0; i < 10; ++i)
        board_->SendOnCommandIn("chunk " + QByteArray::number(i));
    QVERIFY(readComplete.isEmpty()); // reads finish in the event loop, not here

    QTRY_COMPARE(readComplete.size(), 3);
    QVERIFY(Drain());
    QCOMPARE(readComplete.size(), 3); // the board's flood waits in the board
    QCOMPARE(sim->QueuedReads(), 3);
    QVERIFY(board_->HasPending(0x82));

    QList<QByteArray> received;
    QByteArray buffer(64, '\0');
    QVERIFY(QTest::qWaitFor([&] {
        std::int32_t n = 0;
        while (in->FetchData(buffer, n) == StatusSuccess)
            received << buffer.left(n);
        return received.size() == 10;
    }, 2000));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(received[i], "chunk " + QByteArray::number(i));
    QCOMPARE(readComplete.size(), 10);

    QCOMPARE(in->EndReading(), StatusSuccess);
    board_->SendOnCommandIn("late");
    QVERIFY(Drain());
    QCOMPARE(readComplete.size(), 10);
}

void TestSimBackend::fetchStaysInsideBuffer()
{
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(in);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
    const QByteArray data = "0123456789abcdefghijklmnopqrstuvwxyz";
    board_->SendOnCommandIn(data);
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
}

void TestSimBackend::commandRoundTrip_data()
{
    QTest::addColumn<int>("readSize");
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QList<int>>("readSizes");
    // "OK :V1.27 Q815 firmware" is 23 bytes.
    QTest::newRow("one transfer") << 512 << 0 << 0 << QList<int>{23};
    QTest::newRow("longer than the read") << 16 << 0 << 0 << QList<int>{16, 7};
    QTest::newRow("chunked") << 512 << 10 << 0 << QList<int>{10, 10, 3};
    QTest::newRow("delayed") << 512 << 0 << 40 << QList<int>{23};
}

void TestSimBackend::commandRoundTrip()
{
    QFETCH(int, readSize);
    QFETCH(int, chunkSize);
    QFETCH(int, delay);
    QFETCH(QList<int>, readSizes);
    board_->SetReplyChunkSize(chunkSize);
    board_->SetReplyDelay(delay);
    auto out = Open("USBPipeOUT", 0x02);
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(out && in);
    QByteArray reply;
    QList<int> sizes;
    connect(in.get(), &UsbObject::ReadComplete, this, [&] {
        QByteArray buffer(readSize, '\0');
        std::int32_t n = 0;
        while (in->FetchData(buffer, n) == StatusSuccess) {
            sizes << n;
            reply += buffer.left(n);
        }
    });
    QCOMPARE(in->BeginReading(readSize, 5, 5), StatusSuccess);
    QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
    QCOMPARE(out->QueueData(Block("C:21"), 0), StatusSuccess);
    QTRY_COMPARE(reply, QByteArray("OK :V1.27 Q815 firmware"));
    QCOMPARE(sizes, readSizes);
}

void TestSimBackend::faultCounting_data()
{
    QTest::addColumn<QString>("faultObject");
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("times");
    QTest::addColumn<QList<bool>>("fails"); // per call on "USBPipeOUT"
    QTest::newRow("next call") << "USBPipeOUT" << 0 << 1 << QList<bool>{true, false, false};
    QTest::newRow("skip one, two times") << "USBPipeOUT" << 1 << 2
                                         << QList<bool>{false, true, true, false};
    QTest::newRow("for ever") << "USBPipeOUT" << 2 << -1 << QList<bool>{false, false, true, true, true};
    QTest::newRow("any object") << "" << 0 << 1 << QList<bool>{true, false};
    QTest::newRow("other object") << "USBPipeIN" << 0 << 1 << QList<bool>{false, false};
}

void TestSimBackend::faultCounting()
{
    QFETCH(QString, faultObject);
    QFETCH(int, skip);
    QFETCH(int, times);
    QFETCH(QList<bool>, fails);
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(out);
    bus_->InjectFault(faultObject, "ClearPipe", StatusBusy, skip, times);
    for (qsizetype i = 0; i < fails.size(); ++i)
        QCOMPARE(out->ClearPipe(), fails[i] ? StatusBusy : StatusSuccess);
}

void TestSimBackend::readFaults_data()
{
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("reads");             // reads finished from four transfers
    QTest::addColumn<QList<Status>>("fetches"); // what FetchData returns then
    const Status F = StatusTransferFailed;
    QTest::newRow("one failed read") << 1 << 1 << 5 << 4
                                     << QList<Status>{0, F, 0, 0, StatusNoData};
    QTest::newRow("limit ends reading") << 1 << -1 << 2 << 3 << QList<Status>{0, F, F, F, F};
    QTest::newRow("limit of one") << 0 << 1 << 1 << 1 << QList<Status>{F, F, F};
}

void TestSimBackend::readFaults()
{
    QFETCH(int, skip);
    QFETCH(int, times);
    QFETCH(int, limit);
    QFETCH(int, reads);
    QFETCH(QList<Status>, fetches);
    bus_->InjectFault("USBPipeIN", "ReadTransfer", StatusTransferFailed, skip, times);
    auto in = Open("USBPipeIN", 0x82);
    QVERIFY(in);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 8, limit), StatusSuccess);
    for (int i = 0; i < 4; ++i)
        board_->SendOnCommandIn("t" + QByteArray::number(i));
    QTRY_COMPARE(readComplete.size(), reads);
    QVERIFY(Drain());
    QCOMPARE(readComplete.size(), reads);
    QByteArray buffer(64, '\0');
    for (Status expected : fetches) {
        std::int32_t n = -1;
        QCOMPARE(in->FetchData(buffer, n), expected);
        if (expected != StatusSuccess)
            QCOMPARE(n, 0);
    }
}

void TestSimBackend::unplugAndPlug()
{
    std::int32_t failure = 0;
    std::unique_ptr<UsbObject> device(backend_->CreateObject("USBDevice", nullptr, failure));
    QCOMPARE(device->PreparePlugEvents(kGuid), StatusSuccess);
    QCOMPARE(device->EnablePlugEvents(kGuid), StatusSuccess);
    QCOMPARE(device->AttachDevice(0), StatusSuccess);
    auto in = Open("USBPipeIN", 0x82);
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(in && out);
    QSignalSpy added(device.get(), &UsbObject::PnPAddNotification);
    QSignalSpy removed(device.get(), &UsbObject::PnPRemoveNotification);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QSignalSpy writeStatus(out.get(), &UsbObject::WriteStatusAvailable);
    QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
    QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
    QCOMPARE(out->QueueData(Block("C:20"), 4), StatusSuccess);

    bus_->Unplug(board_.get());
    QVERIFY(removed.isEmpty()); // raised from the event loop
    QTRY_COMPARE(removed.size(), 1);
    QTRY_COMPARE(readComplete.size(), 2); // both reads in flight
    QTRY_COMPARE(writeStatus.size(), 1);
    std::int32_t tag = 0;
    QCOMPARE(out->FetchWriteStatus(tag), StatusDeviceGone);
    QVERIFY(board_->ReceivedBlocks().isEmpty());
    QByteArray buffer(64, '\0');
    std::int32_t n = 0;
    QCOMPARE(in->FetchData(buffer, n), StatusDeviceGone);
    QCOMPARE(in->ClearPipe(), StatusDeviceGone);
    QCOMPARE(out->QueueData(Block("C:20"), 5), StatusDeviceGone);
    QCOMPARE(device->AttachDevice(0), StatusNoDevice);
    QVERIFY(added.isEmpty());

    bus_->Plug(board_.get());
    QTRY_COMPARE(added.size(), 1);
    // The old opening stays lost; opening again gives a working pipe.
    QCOMPARE(in->ClearPipe(), StatusDeviceGone);
    QCOMPARE(in->AttachDevice(0), StatusSuccess);
    QCOMPARE(in->ClearPipe(), StatusNotBound);
    QCOMPARE(in->AssignEndpoint(0x82), StatusSuccess);
    QCOMPARE(in->ClearPipe(), StatusSuccess);
    QCOMPARE(in->BeginReading(64, 2, 5), StatusSuccess);
    board_->SendOnCommandIn("back");
    QTRY_COMPARE(readComplete.size(), 3);
    QCOMPARE(in->FetchData(buffer, n), StatusSuccess);
    QCOMPARE(buffer.left(n), QByteArray("back"));
}

void TestSimBackend::teardownInAnyOrder_data()
{
    QTest::addColumn<QString>("first");
    QTest::newRow("object with transfers pending") << "object";
    QTest::newRow("board while reading") << "board";
    QTest::newRow("bus while reading") << "bus";
}

void TestSimBackend::teardownInAnyOrder()
{
    QFETCH(QString, first);
    auto in = Open("USBPipeIN", 0x82);
    auto out = Open("USBPipeOUT", 0x02);
    QVERIFY(in && out);
    QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
    QCOMPARE(in->BeginReading(64, 1, 5), StatusSuccess);
    QCOMPARE(out->BeginWriting(128, 1, 5, true), StatusSuccess);
    QCOMPARE(out->QueueData(Block("C:20"), 1), StatusSuccess);
    board_->SendOnCommandIn("pending");
    if (first == "object") {
        in.reset();
        out.reset();
        QVERIFY(Drain());
        QVERIFY(board_->ReceivedBlocks().isEmpty()); // the queued write died with its pipe
        return;
    }
    if (first == "board") {
        board_.reset();
        QTRY_COMPARE(readComplete.size(), 1);
        QByteArray buffer(64, '\0');
        std::int32_t n = 0;
        QCOMPARE(in->FetchData(buffer, n), StatusDeviceGone);
        QCOMPARE(out->AssignEndpoint(0x02), StatusDeviceGone);
        return;
    }
    backend_.reset();
    bus_.reset();
    QVERIFY(Drain());
    QCOMPARE(readComplete.size(), 0);
    QCOMPARE(in->ClearPipe(), StatusDeviceGone);
    QCOMPARE(in->AttachDevice(0), StatusNoDevice);
}

QTEST_GUILESS_MAIN(TestSimBackend)
#include "test_sim_backend.moc"
