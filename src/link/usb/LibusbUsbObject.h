#pragma once
// One component object of the libusb backend, on a board opened through the
// shared LibusbSession. It behaves as the simulated object does:
// - reads: BeginReading keeps bufferCount transfers in flight; each finished one
//   is queued in arrival order and raises ReadComplete; FetchData hands out the
//   oldest and sends that transfer out again. errorLimit failed reads in a row
//   end reading;
// - writes: BeginWriting gives the pipe bufferCount buffers; QueueData copies
//   into a free one and submits it; the buffer is free again only when its
//   completion is delivered on this object's thread, which then raises
//   WriteStatusAvailable (when a status was wanted) and WriteComplete, unless
//   writing ended meanwhile;
// - EndReading / EndWriting (and detaching, and destruction) cancel what is in
//   flight and wait until libusb has given it back;
// - when the board goes away every transfer in flight fails with "device gone".
#include "link/usb/LibusbSession.h"
#include "link/usb/LibusbTransferSet.h"
#include "link/usb/UsbObject.h"

#include <QList>
#include <memory>

namespace usb {

class LibusbUsbObject final : public UsbObject {
    Q_OBJECT
public:
    LibusbUsbObject(std::shared_ptr<LibusbSession> session, QObject* parent = nullptr);
    ~LibusbUsbObject() override;

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

    // For tests: the bound endpoint (0: none), reads in flight, and whether
    // this object has the board open.
    std::uint8_t Endpoint() const { return endpoint_; }
    int ReadsInFlight() const { return reads_.InFlightCount(); }
    int WritesInFlight() const { return writes_.InFlightCount(); }
    const LibusbDevice* Device() const { return device_.get(); }

private:
    struct FinishedRead {
        int slot;
        Status status;
        int length;
    };
    struct FinishedWrite {
        std::int32_t tag;
        Status status;
    };

    bool BoardGone() const { return device_ && device_->Gone(); }
    Status CheckOpen() const; // 0, StatusNotAttached or StatusDeviceGone
    void Close();
    void StopReading();
    void StopWriting();
    bool ReadsMayStart() const;
    void Resubmit(int slot);
    void ReadFinished(quint64 epoch, int slot, int transferStatus, int length);
    void WriteFinished(quint64 epoch, int slot, int transferStatus, int length);
    void LoseBoard();
    void OnArrived(BusPlace place);
    void OnLeft(BusPlace place);

    std::shared_ptr<LibusbSession> session_;
    std::shared_ptr<LibusbDevice> device_;
    bool interfaceDefined_ = false;
    int interfaceNumber_ = 0;
    std::uint8_t endpoint_ = 0;
    std::uint8_t transferType_ = 0;
    // A halt is only ever learned from a transfer that failed; ClearPipe clears
    // one after such a failure and once after binding.
    bool haltPossible_ = false;
    bool plugEvents_ = false;

    bool reading_ = false;
    Status readStopped_ = StatusSuccess;
    int readSize_ = 0;
    int readLimit_ = 0;
    int readFailures_ = 0;
    QList<FinishedRead> finishedReads_;
    quint64 readsReported_ = 0; // ReadComplete raised for finished reads
    LibusbTransferSet reads_;

    bool writing_ = false;
    Status writeStopped_ = StatusSuccess;
    int writeSize_ = 0;
    int writeLimit_ = 0;
    int writeFailures_ = 0;
    bool statusWanted_ = false;
    QList<bool> bufferInUse_;
    QList<std::int32_t> bufferTag_;
    QList<FinishedWrite> writeResults_;
    LibusbTransferSet writes_;
};

} // namespace usb
