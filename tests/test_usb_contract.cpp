// The USB component contract, kept by both backends: the same cases run on the
// simulated objects and, built with Q815_TEST_LIBUSB, through real libusb on the
// emulated board. Each backend's own cases are in test_usb_backends.
#include "UsbRig.h" // first: it may include umockdev's header

#ifdef Q815_TEST_LIBUSB
#include "link/usb/LibusbUsbObject.h"
#endif

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace usbrig;

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

    // errorLimit failed reads in a row end reading (a good one starts the count
    // over); FetchData reports it once the queue is empty; later data stays put.
    void readErrorLimit()
    {
        auto in = rig_->Open("USBPipeIN", 0x82);
        QVERIFY(in);
        QSignalSpy readComplete(in.get(), &UsbObject::ReadComplete);
        QCOMPARE(in->BeginReading(64, 1, 2), StatusSuccess);
        QByteArray buffer(64, '\0');
        std::int32_t n = 0;
        rig_->port.FailReads(1);
        for (const char* data : {"lost", "kept", "lost", "lost", "late"})
            rig_->board.SendOnCommandIn(data);
        QTRY_COMPARE(readComplete.size(), 1);
        QCOMPARE(in->FetchData(buffer, n), StatusTransferFailed);
        QTRY_COMPARE(readComplete.size(), 2);
        QCOMPARE(in->FetchData(buffer, n), StatusSuccess);
        QCOMPARE(buffer.left(n), QByteArray("kept"));
        rig_->port.FailReads(2);
        QTRY_COMPARE(readComplete.size(), 3);
        QCOMPARE(in->FetchData(buffer, n), StatusTransferFailed);
        QTRY_COMPARE(readComplete.size(), 4);
        QCOMPARE(in->FetchData(buffer, n), StatusTransferFailed); // queued
        QCOMPARE(in->FetchData(buffer, n), StatusTransferFailed); // reading ended on it
        QVERIFY(Drain());
        QCOMPARE(readComplete.size(), 4);
        QVERIFY(rig_->board.HasPending(0x82)); // "late" was not read
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

        rig_->port.Unplug();
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
};

QTEST_GUILESS_MAIN(UsbContractTest)
#include "test_usb_contract.moc"
