#pragma once
// One component object of the libusb backend, on a board opened through the
// shared LibusbSession; the contract's bookkeeping is PipeCore's. This side
// submits the transfers of a LibusbTransferSet and hands their completions,
// posted from libusb's worker thread, to the core:
// - EndReading / EndWriting (and detaching, and destruction) cancel what is in
//   flight and wait until libusb has given it back;
// - when the board goes away every transfer in flight is cancelled and comes
//   back failed with "device gone";
// - a halt is only ever learned from a transfer that failed; ClearPipe clears
//   one after such a failure and once after binding.
#include "link/usb/LibusbSession.h"
#include "link/usb/LibusbTransferSet.h"
#include "link/usb/PipeCore.h"

#include <memory>

namespace usb {

class LibusbUsbObject final : public PipeCore {
    Q_OBJECT
public:
    LibusbUsbObject(std::shared_ptr<LibusbSession> session, QObject* parent = nullptr);
    ~LibusbUsbObject() override;

    Status ScanDevices(const QString& interfaceGuid, std::int32_t& count) override;
    Status AttachDevice(std::int32_t deviceNumber) override;
    Status PreparePlugEvents(const QString& interfaceGuid) override;
    Status EnablePlugEvents(const QString& interfaceGuid) override;

    // For tests: transfers in flight, and the board this object has open.
    int ReadsInFlight() const { return reads_.InFlightCount(); }
    int WritesInFlight() const { return writes_.InFlightCount(); }
    const LibusbDevice* Device() const { return device_.get(); }

protected:
    bool BoardOpen() const override { return device_ != nullptr; }
    bool BoardGone() const override { return device_ && device_->Gone(); }
    void CloseBoard() override { device_.reset(); } // the last object to let go closes it
    Status Claim(int interfaceNumber) override;
    void Release() override { device_->Release(); }
    bool HasEndpoint(std::uint8_t address) const override;
    void EndpointChanged() override;
    Status ClearHalt() override;
    Status AllocateTransfers(bool reading, int size, int count) override;
    void FreeTransfers(bool reading) override { (reading ? reads_ : writes_).Free(); }
    Status SubmitRead(int slot, int size) override;
    Status SubmitWrite(int slot, const QByteArray& data) override;
    const char* ReadBytes(int slot) const override;
    void AbortTransfers() override;

private:
    Status Refused(int libusbError); // the status of a refused call; notes a gone board
    Status Finished(int transferStatus);
    void OnArrived(BusPlace place);
    void OnLeft(BusPlace place);

    std::shared_ptr<LibusbSession> session_;
    std::shared_ptr<LibusbDevice> device_;
    std::uint8_t transferType_ = 0;
    bool haltPossible_ = false;
    LibusbTransferSet reads_;
    LibusbTransferSet writes_;
};

} // namespace usb
