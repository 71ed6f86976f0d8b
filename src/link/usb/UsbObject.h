#pragma once
// One object of the USB component. The program holds six of them (USBDevice and
// five pipes); they share one open board. Every operation returns its status word.
// Events are Qt signals and are always raised on the thread that owns the object
// (the window thread), never from inside an operation.
#include "link/usb/BoardListing.h"
#include "link/usb/UsbStatus.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

namespace usb {

class UsbObject : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~UsbObject() override = default;

    // Looks for boards; count receives how many were found.
    virtual Status ScanDevices(const QString& interfaceGuid, std::int32_t& count) = 0;
    // Opens board number deviceNumber (0 = the first one found) for this object.
    virtual Status AttachDevice(std::int32_t deviceNumber) = 0;
    virtual Status DetachDevice() = 0;
    virtual Status DefineInterface(std::int32_t interfaceNumber, std::int32_t alternateSetting,
                                   std::int32_t maxTransferSize) = 0;
    virtual Status ClearInterfaces() = 0;
    // Selects the configuration and claims the interface given to DefineInterface.
    virtual Status ApplyConfiguration(std::int32_t configurationIndex) = 0;
    virtual QString StatusText(Status status) const = 0;
    // Binds this object to an endpoint of the claimed interface (bit 7 set: IN).
    virtual Status AssignEndpoint(std::uint8_t endpointAddress) = 0;
    // Clears a halt and drops whatever is queued on the pipe.
    virtual Status ClearPipe() = 0;

    // Keeps bufferCount reads of bufferSize bytes in flight; every finished read
    // is queued in arrival order and raises ReadComplete. errorLimit failed reads
    // in a row end reading.
    virtual Status BeginReading(std::int32_t bufferSize, std::int32_t bufferCount,
                                std::int32_t errorLimit) = 0;
    // Copies the oldest finished read into buffer from index 0 (never past its end),
    // sets byteCount to the bytes copied and starts another read. StatusNoData when
    // nothing is queued; after reading ended on errors, that failure.
    virtual Status FetchData(QByteArray& buffer, std::int32_t& byteCount) = 0;
    virtual Status EndReading() = 0;

    // Gives the pipe bufferCount buffers of bufferSize bytes. A buffer becomes free
    // only when its completion is delivered, never inside QueueData.
    virtual Status BeginWriting(std::int32_t bufferSize, std::int32_t bufferCount,
                                std::int32_t errorLimit, bool statusWanted) = 0;
    // Copies data into a free buffer and sends it; StatusQueueFull when none is free.
    virtual Status QueueData(const QByteArray& data, std::int32_t tag) = 0;
    // Takes the oldest (tag, status) of a finished write; returns that write's
    // status, or StatusNoData when none is queued.
    virtual Status FetchWriteStatus(std::int32_t& tag) = 0;
    virtual Status EndWriting() = 0;

    virtual Status PreparePlugEvents(const QString& interfaceGuid) = 0;
    virtual Status EnablePlugEvents(const QString& interfaceGuid) = 0;

Q_SIGNALS:
    void PnPAddNotification(usb::UsbObject* Obj);
    void PnPRemoveNotification(usb::UsbObject* Obj);
    void ReadComplete(usb::UsbObject* Obj);
    // A write finished: first WriteStatusAvailable (when statusWanted), then
    // WriteComplete; no write event after EndWriting.
    void WriteComplete(usb::UsbObject* Obj);
    void WriteStatusAvailable(usb::UsbObject* Obj);
};

// Creates the component's objects. failure receives a number that says why
// when creation fails outright (nullptr).
class UsbBackend {
public:
    virtual ~UsbBackend() = default;
    virtual UsbObject* CreateObject(const QString& name, QObject* parent,
                                    std::int32_t& failure) = 0;
    // Every board that the objects could attach, in the order AttachDevice numbers
    // them; each one is tried (opened and its interface claimed, then let go)
    // unless this program has it open already.
    virtual Status ListBoards(QList<BoardListing>& boards) = 0;
    // The board that the objects have open, as ListBoards would list it, without
    // touching any other; false when none is open.
    virtual bool DescribeOpenBoard(BoardListing& board) = 0;
    // Devices with other ids whose interface 0 is vendor-specific (candidate
    // set), with its endpoints: read from their descriptors, never opened.
    virtual Status ListOtherDevices(QList<BoardListing>& devices)
    {
        devices.clear();
        return StatusSuccess;
    }
};

} // namespace usb
