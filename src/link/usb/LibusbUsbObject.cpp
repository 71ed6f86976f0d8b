#include "link/usb/LibusbUsbObject.h"

#include "link/usb/LibusbStatus.h"

#include <cstring>
#include <libusb.h>

namespace usb {

LibusbUsbObject::LibusbUsbObject(std::shared_ptr<LibusbSession> session, QObject* parent)
    : PipeCore(parent), session_(std::move(session)),
      reads_(this,
             [this](quint64 e, int s, int st, int n) {
                 if (e == ReadEpoch()) // not one of an ended reading
                     ReadFinished(e, s, Finished(st), n);
             }),
      writes_(this, [this](quint64 e, int s, int st, int) {
          if (e == WriteEpoch())
              WriteFinished(e, s, Finished(st));
      })
{
    connect(session_.get(), &LibusbSession::Arrived, this, &LibusbUsbObject::OnArrived);
    connect(session_.get(), &LibusbSession::Left, this, &LibusbUsbObject::OnLeft);
}

LibusbUsbObject::~LibusbUsbObject()
{
    Close();
}

Status LibusbUsbObject::Refused(int libusbError)
{
    const Status status = StatusFromLibusbError(libusbError, StatusTransferFailed);
    if (status == StatusDeviceGone && device_)
        device_->MarkGone();
    return status;
}

// The status of a transfer that came back; a failed one may have left a halt.
Status LibusbUsbObject::Finished(int transferStatus)
{
    if (transferStatus == LIBUSB_TRANSFER_NO_DEVICE && device_)
        device_->MarkGone();
    const Status status = StatusFromTransfer(transferStatus);
    if (status != StatusSuccess)
        haltPossible_ = true;
    return status;
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

Status LibusbUsbObject::Claim(int interfaceNumber)
{
    const Status status = device_->Claim(interfaceNumber);
    if (status == StatusDeviceGone)
        device_->MarkGone();
    return status;
}

bool LibusbUsbObject::HasEndpoint(std::uint8_t address) const
{
    return device_->FindEndpoint(address) != nullptr;
}

void LibusbUsbObject::EndpointChanged()
{
    const LibusbDevice::Endpoint* endpoint = device_->FindEndpoint(Endpoint());
    transferType_ = endpoint->transferType == LIBUSB_TRANSFER_TYPE_INTERRUPT
                        ? LIBUSB_TRANSFER_TYPE_INTERRUPT
                        : LIBUSB_TRANSFER_TYPE_BULK;
    haltPossible_ = true;
}

// Clearing a halt resets the endpoint; that is only done with nothing on the
// way through it.
Status LibusbUsbObject::ClearHalt()
{
    if (!haltPossible_ || reads_.InFlightCount() != 0 || writes_.InFlightCount() != 0)
        return StatusSuccess;
    const int r = libusb_clear_halt(device_->Handle(), Endpoint());
    if (r != LIBUSB_SUCCESS) {
        const Status status = StatusFromLibusbError(r, StatusNoEndpoint);
        if (status == StatusDeviceGone)
            device_->MarkGone();
        return status;
    }
    haltPossible_ = false;
    return StatusSuccess;
}

Status LibusbUsbObject::AllocateTransfers(bool reading, int size, int count)
{
    LibusbTransferSet& set = reading ? reads_ : writes_;
    const quint64 epoch = reading ? ReadEpoch() : WriteEpoch();
    return set.Allocate(device_->Handle(), Endpoint(), transferType_, size, count, epoch)
               ? StatusSuccess
               : StatusNoMemory;
}

Status LibusbUsbObject::SubmitRead(int slot, int size)
{
    const int r = reads_.Submit(slot, size);
    return r == LIBUSB_SUCCESS ? StatusSuccess : Refused(r);
}

Status LibusbUsbObject::SubmitWrite(int slot, const QByteArray& data)
{
    if (!data.isEmpty())
        std::memcpy(writes_.Buffer(slot), data.constData(), std::size_t(data.size()));
    const int r = writes_.Submit(slot, int(data.size()));
    return r == LIBUSB_SUCCESS ? StatusSuccess : Refused(r);
}

const char* LibusbUsbObject::ReadBytes(int slot) const
{
    return reinterpret_cast<const char*>(reads_.Buffer(slot));
}

// Cancelled transfers come back failed; the core makes that "device gone".
void LibusbUsbObject::AbortTransfers()
{
    reads_.CancelAll();
    writes_.CancelAll();
}

Status LibusbUsbObject::PreparePlugEvents(const QString& /*interfaceGuid*/)
{
    return session_->InitStatus();
}

Status LibusbUsbObject::EnablePlugEvents(const QString& /*interfaceGuid*/)
{
    const Status status = session_->EnablePlugEvents();
    if (status == StatusSuccess)
        SetPlugEvents();
    return status;
}

void LibusbUsbObject::OnArrived(BusPlace /*place*/)
{
    if (ArrivalCounts())
        Q_EMIT PnPAddNotification(this);
}

// Ours when the board at that place is the one this object has open (a board
// plugged in again sits at a new address).
void LibusbUsbObject::OnLeft(BusPlace place)
{
    const bool ours = device_ && device_->Place() == place;
    if (ours)
        device_->MarkGone();
    if (RemovalCounts(ours))
        Q_EMIT PnPRemoveNotification(this);
}

} // namespace usb
