#include "link/usb/LibusbUsbObject.h"

#include "link/usb/LibusbStatus.h"

#include <QPointer>
#include <cstring>
#include <libusb.h>

namespace usb {

LibusbUsbObject::LibusbUsbObject(std::shared_ptr<LibusbSession> session, QObject* parent)
    : UsbObject(parent), session_(std::move(session)),
      reads_(this, [this](quint64 e, int s, int st, int n) { ReadFinished(e, s, st, n); }),
      writes_(this, [this](quint64 e, int s, int st, int n) { WriteFinished(e, s, st, n); })
{
    connect(session_.get(), &LibusbSession::Arrived, this, &LibusbUsbObject::OnArrived);
    connect(session_.get(), &LibusbSession::Left, this, &LibusbUsbObject::OnLeft);
}

LibusbUsbObject::~LibusbUsbObject()
{
    Close();
}

Status LibusbUsbObject::CheckOpen() const
{
    if (!device_)
        return StatusNotAttached;
    return BoardGone() ? StatusDeviceGone : StatusSuccess;
}

void LibusbUsbObject::Close()
{
    StopReading();
    StopWriting();
    device_.reset(); // the last object to let go closes the board
    interfaceDefined_ = false;
    endpoint_ = 0;
}

void LibusbUsbObject::StopReading()
{
    reads_.Free();
    reading_ = false;
    readStopped_ = StatusSuccess;
    readFailures_ = 0;
    finishedReads_.clear();
}

void LibusbUsbObject::StopWriting()
{
    writes_.Free();
    writing_ = false;
    writeStopped_ = StatusSuccess;
    writeFailures_ = 0;
    bufferInUse_.clear();
    bufferTag_.clear();
    writeResults_.clear();
}

Status LibusbUsbObject::ScanDevices(const QString& /*interfaceGuid*/, std::int32_t& count)
{
    return session_->CountBoards(count);
}

Status LibusbUsbObject::AttachDevice(std::int32_t deviceNumber)
{
    std::shared_ptr<LibusbDevice> device;
    const Status status = session_->Open(deviceNumber, device);
    if (status != StatusSuccess)
        return status;
    // Opening the board this object already has open keeps everything as it is.
    if (device == device_)
        return StatusSuccess;
    Close();
    device_ = std::move(device);
    return StatusSuccess;
}

Status LibusbUsbObject::DetachDevice()
{
    if (!device_)
        return StatusNotAttached;
    Close();
    return StatusSuccess;
}

Status LibusbUsbObject::DefineInterface(std::int32_t interfaceNumber, std::int32_t alternateSetting,
                                        std::int32_t maxTransferSize)
{
    if (const Status open = CheckOpen())
        return open;
    if (interfaceNumber != 0 || alternateSetting != 0)
        return StatusNoInterface; // the board has one interface with one setting
    if (maxTransferSize <= 0)
        return StatusBadArgument;
    interfaceNumber_ = interfaceNumber;
    interfaceDefined_ = true;
    return StatusSuccess;
}

Status LibusbUsbObject::ClearInterfaces()
{
    if (device_)
        device_->Release();
    interfaceDefined_ = false;
    return StatusSuccess;
}

Status LibusbUsbObject::ApplyConfiguration(std::int32_t configurationIndex)
{
    if (const Status open = CheckOpen())
        return open;
    if (!interfaceDefined_)
        return StatusNoInterface;
    // Index 0 is the board's only configuration (configuration value 1).
    if (configurationIndex != 0)
        return StatusBadArgument;
    const Status status = device_->Claim(interfaceNumber_);
    if (status == StatusDeviceGone)
        device_->MarkGone();
    return status;
}

QString LibusbUsbObject::StatusText(Status status) const
{
    return usb::StatusText(status);
}

Status LibusbUsbObject::AssignEndpoint(std::uint8_t endpointAddress)
{
    if (const Status open = CheckOpen())
        return open;
    const LibusbDevice::Endpoint* endpoint = device_->FindEndpoint(endpointAddress);
    if (endpoint == nullptr)
        return StatusNoEndpoint;
    if (endpointAddress != endpoint_) {
        StopReading();
        StopWriting();
        endpoint_ = endpointAddress;
        transferType_ = endpoint->transferType == LIBUSB_TRANSFER_TYPE_INTERRUPT
                            ? LIBUSB_TRANSFER_TYPE_INTERRUPT
                            : LIBUSB_TRANSFER_TYPE_BULK;
        haltPossible_ = true;
    }
    return StatusSuccess;
}

Status LibusbUsbObject::ClearPipe()
{
    if (!device_ || endpoint_ == 0)
        return StatusNotBound;
    if (BoardGone())
        return StatusDeviceGone;
    // Clearing a halt resets the endpoint; that is only done with nothing on
    // the way through it.
    if (haltPossible_ && reads_.InFlightCount() == 0 && writes_.InFlightCount() == 0) {
        const int r = libusb_clear_halt(device_->Handle(), endpoint_);
        if (r != LIBUSB_SUCCESS) {
            const Status status = StatusFromLibusbError(r, StatusNoEndpoint);
            if (status == StatusDeviceGone)
                device_->MarkGone();
            return status;
        }
        haltPossible_ = false;
    }
    const QList<FinishedRead> dropped = std::exchange(finishedReads_, {});
    readFailures_ = 0;
    writeResults_.clear();
    for (const FinishedRead& read : dropped)
        Resubmit(read.slot); // room for new reads again
    return StatusSuccess;
}

bool LibusbUsbObject::ReadsMayStart() const
{
    return reading_ && readStopped_ == StatusSuccess && device_ && !BoardGone();
}

// Sends a read whose data has been handed out (or dropped) again. A refused
// submission ends reading; FetchData reports it once the queue is empty.
void LibusbUsbObject::Resubmit(int slot)
{
    if (!ReadsMayStart() || reads_.InFlight(slot))
        return;
    const int r = reads_.Submit(slot, readSize_);
    if (r != LIBUSB_SUCCESS) {
        readStopped_ = StatusFromLibusbError(r, StatusTransferFailed);
        if (readStopped_ == StatusDeviceGone)
            device_->MarkGone();
    }
}

Status LibusbUsbObject::BeginReading(std::int32_t bufferSize, std::int32_t bufferCount,
                                     std::int32_t errorLimit)
{
    if (const Status open = CheckOpen())
        return open;
    if (endpoint_ == 0)
        return StatusNotBound;
    if (!(endpoint_ & 0x80) || bufferSize <= 0 || bufferCount <= 0)
        return StatusBadArgument;
    StopReading(); // a second BeginReading starts over
    if (!reads_.Allocate(device_->Handle(), endpoint_, transferType_, bufferSize, bufferCount))
        return StatusNoMemory;
    reading_ = true;
    readSize_ = bufferSize;
    readLimit_ = qMax(1, errorLimit);
    for (int slot = 0; slot < bufferCount; ++slot) {
        const int r = reads_.Submit(slot, bufferSize);
        if (r != LIBUSB_SUCCESS) {
            const Status status = StatusFromLibusbError(r, StatusTransferFailed);
            if (status == StatusDeviceGone)
                device_->MarkGone();
            StopReading();
            return status;
        }
    }
    return StatusSuccess;
}

void LibusbUsbObject::ReadFinished(quint64 epoch, int slot, int transferStatus, int length)
{
    if (epoch != reads_.Epoch() || !reading_)
        return; // reading ended before this read came back
    Status status = StatusFromTransfer(transferStatus);
    if (transferStatus == LIBUSB_TRANSFER_NO_DEVICE && device_)
        device_->MarkGone();
    if (BoardGone())
        status = StatusDeviceGone;
    if (status != StatusSuccess) {
        haltPossible_ = true;
        finishedReads_.append(FinishedRead{slot, status, 0});
        if (++readFailures_ >= readLimit_ || status == StatusDeviceGone)
            readStopped_ = status;
    } else if (length == 0) {
        // A zero-length packet carries nothing for the program.
        Resubmit(slot);
        return;
    } else {
        readFailures_ = 0;
        finishedReads_.append(FinishedRead{slot, StatusSuccess, length});
    }
    ++readsReported_;
    Q_EMIT ReadComplete(this);
}

Status LibusbUsbObject::FetchData(QByteArray& buffer, std::int32_t& byteCount)
{
    byteCount = 0;
    if (finishedReads_.isEmpty())
        return readStopped_ != StatusSuccess ? readStopped_ : StatusNoData;
    const FinishedRead read = finishedReads_.takeFirst();
    std::int32_t copied = 0;
    if (read.status == StatusSuccess) {
        copied = std::int32_t(qMin<qsizetype>(buffer.size(), read.length));
        if (copied > 0)
            std::memcpy(buffer.data(), reads_.Buffer(read.slot), std::size_t(copied));
    }
    Resubmit(read.slot); // the fetched read goes back into flight
    if (read.status != StatusSuccess)
        return read.status;
    byteCount = copied;
    return StatusSuccess;
}

Status LibusbUsbObject::EndReading()
{
    StopReading();
    return StatusSuccess;
}

Status LibusbUsbObject::BeginWriting(std::int32_t bufferSize, std::int32_t bufferCount,
                                     std::int32_t errorLimit, bool statusWanted)
{
    if (const Status open = CheckOpen())
        return open;
    if (endpoint_ == 0)
        return StatusNotBound;
    if ((endpoint_ & 0x80) || bufferSize <= 0 || bufferCount <= 0)
        return StatusBadArgument;
    StopWriting(); // a second BeginWriting starts over
    if (!writes_.Allocate(device_->Handle(), endpoint_, transferType_, bufferSize, bufferCount))
        return StatusNoMemory;
    writing_ = true;
    writeSize_ = bufferSize;
    writeLimit_ = qMax(1, errorLimit);
    statusWanted_ = statusWanted;
    bufferInUse_ = QList<bool>(bufferCount, false);
    bufferTag_ = QList<std::int32_t>(bufferCount, 0);
    return StatusSuccess;
}

Status LibusbUsbObject::QueueData(const QByteArray& data, std::int32_t tag)
{
    if (const Status open = CheckOpen())
        return open;
    if (writeStopped_ != StatusSuccess)
        return writeStopped_;
    if (!writing_)
        return StatusNotActive;
    if (data.size() > writeSize_)
        return StatusBadArgument;
    const qsizetype slot = bufferInUse_.indexOf(false);
    if (slot < 0)
        return StatusQueueFull;
    if (!data.isEmpty())
        std::memcpy(writes_.Buffer(int(slot)), data.constData(), std::size_t(data.size()));
    const int r = writes_.Submit(int(slot), int(data.size()));
    if (r != LIBUSB_SUCCESS) {
        const Status status = StatusFromLibusbError(r, StatusTransferFailed);
        if (status == StatusDeviceGone)
            device_->MarkGone();
        return status;
    }
    bufferInUse_[slot] = true;
    bufferTag_[slot] = tag;
    return StatusSuccess;
}

void LibusbUsbObject::WriteFinished(quint64 epoch, int slot, int transferStatus, int /*length*/)
{
    if (epoch != writes_.Epoch() || !writing_)
        return; // writing ended before this write came back
    const QPointer<LibusbUsbObject> self(this);
    Status status = StatusFromTransfer(transferStatus);
    if (transferStatus == LIBUSB_TRANSFER_NO_DEVICE && device_)
        device_->MarkGone();
    if (status != StatusSuccess && BoardGone())
        status = StatusDeviceGone;
    bufferInUse_[slot] = false;
    if (status != StatusSuccess) {
        haltPossible_ = true;
        if (++writeFailures_ >= writeLimit_)
            writeStopped_ = status;
    } else {
        writeFailures_ = 0;
    }
    if (statusWanted_) {
        writeResults_.append(FinishedWrite{bufferTag_[slot], status});
        Q_EMIT WriteStatusAvailable(this);
        if (!self || epoch != writes_.Epoch())
            return; // the handler ended writing: no WriteComplete
    }
    Q_EMIT WriteComplete(this);
}

Status LibusbUsbObject::FetchWriteStatus(std::int32_t& tag)
{
    if (writeResults_.isEmpty())
        return StatusNoData;
    const FinishedWrite write = writeResults_.takeFirst();
    tag = write.tag;
    return write.status;
}

Status LibusbUsbObject::EndWriting()
{
    StopWriting();
    return StatusSuccess;
}

Status LibusbUsbObject::PreparePlugEvents(const QString& /*interfaceGuid*/)
{
    return session_->InitStatus();
}

Status LibusbUsbObject::EnablePlugEvents(const QString& /*interfaceGuid*/)
{
    const Status status = session_->EnablePlugEvents();
    if (status == StatusSuccess)
        plugEvents_ = true;
    return status;
}

// The open board went away: what is in flight is cancelled, comes back as
// failed with "device gone", and no new read starts.
void LibusbUsbObject::LoseBoard()
{
    if (!reading_ || readStopped_ != StatusSuccess) {
        writes_.CancelAll();
        return;
    }
    readStopped_ = StatusDeviceGone;
    // Reads that came back before the unplug was seen have told the program
    // already; their queue now ends in StatusDeviceGone. Reads that came back
    // but are still on their way to this thread tell it too: they were posted
    // before the call below, so the count shows them.
    if (reads_.InFlightCount() == 0 && finishedReads_.isEmpty()) {
        // Nothing will come back to tell the program: say it here.
        QMetaObject::invokeMethod(
            this,
            [this, epoch = reads_.Epoch(), reported = readsReported_] {
                if (epoch == reads_.Epoch() && reading_ && readsReported_ == reported)
                    Q_EMIT ReadComplete(this);
            },
            Qt::QueuedConnection);
    }
    reads_.CancelAll();
    writes_.CancelAll();
}

// The object follows the board it has open: another board with our ids that
// arrives meanwhile is none of its business; once it has none open (or the
// open one left), an arrival is reported and opens as at start.
void LibusbUsbObject::OnArrived(BusPlace /*place*/)
{
    if (plugEvents_ && (!device_ || BoardGone()))
        Q_EMIT PnPAddNotification(this);
}

// Only the open board leaving is reported (or any, while none is open): the
// objects that had it open lose their transfers.
void LibusbUsbObject::OnLeft(BusPlace place)
{
    const QPointer<LibusbUsbObject> self(this);
    const bool ours = device_ && device_->Place() == place;
    if (ours) {
        device_->MarkGone();
        LoseBoard();
    }
    if (plugEvents_ && self && (ours || !device_))
        Q_EMIT PnPRemoveNotification(this);
}

} // namespace usb
