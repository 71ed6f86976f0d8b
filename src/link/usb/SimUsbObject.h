#pragma once
// One component object of the simulated backend. It opens a board of a
// VirtualBus and moves transfers between the program and the board through the
// event loop of its thread:
// - reads: while reading, whenever the board has a transfer pending on the bound
//   IN endpoint and fewer than bufferCount finished reads wait to be fetched, one
//   read takes a transfer of at most bufferSize bytes and raises ReadComplete.
//   Whatever the board has beyond that stays in the board, so a board that floods
//   the pipe never grows the queue past bufferCount reads;
// - writes: QueueData takes a buffer and posts the transfer; its completion hands
//   the bytes to the board, frees the buffer, then raises WriteStatusAvailable
//   (when a status was wanted) and WriteComplete, unless writing ended meanwhile.
//   EndWriting (or a new BeginWriting) cancels transfers not yet delivered;
// - faults injected on the bus: every operation asks for one under its own name
//   first, "ReadTransfer" is asked when a read takes a transfer (the transfer is
//   lost and the read fails), "WriteTransfer" when a write is delivered.
// Nothing here blocks, and nothing is raised from inside an operation.
#include "link/usb/UsbObject.h"
#include "link/usb/VirtualBus.h"

#include <QByteArray>
#include <QList>
#include <QPointer>

namespace usb {

class SimUsbObject final : public UsbObject {
    Q_OBJECT
public:
    SimUsbObject(VirtualBus& bus, QObject* parent = nullptr);
    ~SimUsbObject() override;

    Status ScanDevices(const QString& interfaceGuid, std::int32_t& count) override;
    Status AttachDevice(std::int32_t deviceNumber) override;
    Status DetachDevice() override;
    Status DefineInterface(std::int32_t interfaceNumber, std::int32_t alternateSetting,
                           std::int32_t maxTransferSize) override;
    Status ClearInterfaces() override;
    Status ApplyConfiguration(std::int32_t configurationIndex) override;
    QString StatusText(Status status) const override;
    Status AssignEndpoint(std::uint8_t endpointAddress) override;
    Status ClearPipe() override;
    Status BeginReading(std::int32_t bufferSize, std::int32_t bufferCount,
                        std::int32_t errorLimit) override;
    Status FetchData(QByteArray& buffer, std::int32_t& byteCount) override;
    Status EndReading() override;
    Status BeginWriting(std::int32_t bufferSize, std::int32_t bufferCount, std::int32_t errorLimit,
                        bool statusWanted) override;
    Status QueueData(const QByteArray& data, std::int32_t tag) override;
    Status FetchWriteStatus(std::int32_t& tag) override;
    Status EndWriting() override;
    Status PreparePlugEvents(const QString& interfaceGuid) override;
    Status EnablePlugEvents(const QString& interfaceGuid) override;

    // For tests: the bound endpoint (0: none) and the finished reads waiting.
    std::uint8_t Endpoint() const { return endpoint_; }
    int QueuedReads() const { return int(reads_.size()); }

private:
    struct FinishedRead {
        Status status;
        QByteArray data;
    };
    struct FinishedWrite {
        std::int32_t tag;
        Status status;
    };

    Status Fault(const char* operation);
    bool BoardGone() const;
    Status CheckOpen() const; // 0, StatusNotAttached or StatusDeviceGone
    void Close();
    void StopReading();
    void StopWriting();
    bool CanRead() const;
    void SchedulePump();
    void Pump();
    void Deliver(quint64 epoch, std::int32_t tag, const QByteArray& data);
    void LoseBoard();
    void OnPlugged(VirtualBoard* board);
    void OnUnplugged(VirtualBoard* board);

    QPointer<VirtualBus> bus_;
    QPointer<VirtualBoard> board_;
    bool attached_ = false;
    bool boardLost_ = false;
    quint64 plugGeneration_ = 0;
    QList<QMetaObject::Connection> boardConnections_;
    bool interfaceDefined_ = false;
    std::uint8_t endpoint_ = 0;
    bool plugEvents_ = false;

    // Reading: active from BeginReading to EndReading; readStopped_ is the
    // failure that ended it early (error limit, unplug), after which no new read
    // starts and FetchData reports it once the queue is empty.
    bool reading_ = false;
    Status readStopped_ = StatusSuccess;
    int readSize_ = 0;
    int readCount_ = 0;
    int readLimit_ = 0;
    int readFailures_ = 0;
    QList<FinishedRead> reads_;
    quint64 readEpoch_ = 0; // events of an ended reading are not raised
    bool pumpScheduled_ = false;

    bool writing_ = false;
    Status writeStopped_ = StatusSuccess;
    int writeSize_ = 0;
    int writeCount_ = 0;
    int writeLimit_ = 0;
    int writeFailures_ = 0;
    int buffersInUse_ = 0;
    bool statusWanted_ = false;
    QList<FinishedWrite> writeResults_;
    quint64 writeEpoch_ = 0; // transfers of an ended writing are cancelled
};

} // namespace usb
