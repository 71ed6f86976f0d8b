#include "link/usb/LibusbTransferSet.h"

#include <QMetaObject>
#include <libusb.h>

namespace usb {

LibusbTransferSet::LibusbTransferSet(QObject* receiver, Finished finished)
    : receiver_(receiver), finished_(std::move(finished))
{
}

LibusbTransferSet::~LibusbTransferSet()
{
    Free();
}

bool LibusbTransferSet::Allocate(libusb_device_handle* handle, std::uint8_t endpoint,
                                 std::uint8_t transferType, int size, int count, quint64 epoch)
{
    Free();
    epoch_ = epoch;
    for (int i = 0; i < count; ++i) {
        auto slot = std::make_unique<Slot>();
        slot->set = this;
        slot->index = i;
        slot->transfer = libusb_alloc_transfer(0);
        if (slot->transfer == nullptr) {
            Free();
            return false;
        }
        slot->buffer.resize(std::size_t(size));
        libusb_transfer* t = slot->transfer;
        t->dev_handle = handle;
        t->endpoint = endpoint;
        t->type = transferType;
        t->timeout = 0;
        t->buffer = slot->buffer.data();
        t->length = size;
        t->user_data = slot.get();
        t->callback = &LibusbTransferSet::Callback;
        slots_.push_back(std::move(slot));
    }
    return true;
}

void LibusbTransferSet::Free()
{
    CancelAndWait();
    for (const auto& slot : slots_)
        libusb_free_transfer(slot->transfer);
    slots_.clear();
}

int LibusbTransferSet::Submit(int index, int length)
{
    Slot& slot = *slots_[std::size_t(index)];
    slot.transfer->length = length;
    {
        const std::lock_guard lock(mutex_);
        slot.inFlight = true;
        ++inFlight_;
    }
    const int r = libusb_submit_transfer(slot.transfer);
    if (r != LIBUSB_SUCCESS) {
        const std::lock_guard lock(mutex_);
        slot.inFlight = false;
        --inFlight_;
    }
    return r;
}

bool LibusbTransferSet::InFlight(int index) const
{
    const std::lock_guard lock(mutex_);
    return slots_[std::size_t(index)]->inFlight;
}

int LibusbTransferSet::InFlightCount() const
{
    const std::lock_guard lock(mutex_);
    return inFlight_;
}

void LibusbTransferSet::CancelAll()
{
    std::vector<libusb_transfer*> flying;
    {
        const std::lock_guard lock(mutex_);
        for (const auto& slot : slots_) {
            if (slot->inFlight)
                flying.push_back(slot->transfer);
        }
    }
    // Outside the lock: the worker may be finishing one of them right now and
    // needs the lock for that. Cancelling a finished transfer does nothing.
    for (libusb_transfer* transfer : flying)
        libusb_cancel_transfer(transfer);
}

void LibusbTransferSet::CancelAndWait()
{
    CancelAll();
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return inFlight_ == 0; });
}

// libusb's worker thread. The receiver is alive here: it cancels and waits for
// every transfer before it goes, and that wait needs this call to end.
void LibusbTransferSet::Callback(libusb_transfer* transfer)
{
    auto* slot = static_cast<Slot*>(transfer->user_data);
    LibusbTransferSet* set = slot->set;
    const std::lock_guard lock(set->mutex_);
    slot->inFlight = false;
    --set->inFlight_;
    QMetaObject::invokeMethod(
        set->receiver_,
        [set, epoch = set->epoch_, index = slot->index, status = int(transfer->status),
         length = transfer->actual_length] { set->finished_(epoch, index, status, length); },
        Qt::QueuedConnection);
    set->idle_.notify_all();
}

} // namespace usb
