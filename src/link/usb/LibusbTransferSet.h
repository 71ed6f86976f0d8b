#pragma once
// The transfers of one pipe: allocated when reading or writing begins, submitted
// on the window thread, finished on libusb's worker thread. A finished transfer
// is only posted to the window thread (to the receiver object given), where the
// pipe learns of it; the worker never waits for the window thread.
//
// CancelAndWait cancels what is in flight and waits until libusb has given every
// transfer back, so that the buffers can be freed and no callback can come
// later. The window thread waits for the worker here, never the other way
// round.
#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct libusb_device_handle;
struct libusb_transfer;

namespace usb {

class LibusbTransferSet {
public:
    // Runs on the receiver's thread: which allocation (epoch) and slot finished,
    // with libusb's transfer status and the bytes moved.
    using Finished = std::function<void(quint64 epoch, int slot, int transferStatus, int length)>;

    LibusbTransferSet(QObject* receiver, Finished finished);
    ~LibusbTransferSet(); // cancels and waits
    LibusbTransferSet(const LibusbTransferSet&) = delete;
    LibusbTransferSet& operator=(const LibusbTransferSet&) = delete;

    // count transfers of size bytes on endpoint (transferType: libusb's bulk or
    // interrupt), whose finishings carry epoch; false when memory ran out.
    bool Allocate(libusb_device_handle* handle, std::uint8_t endpoint, std::uint8_t transferType,
                  int size, int count, quint64 epoch);
    // Cancels, waits, and frees every transfer.
    void Free();
    int Count() const { return int(slots_.size()); }
    unsigned char* Buffer(int slot) { return slots_[std::size_t(slot)]->buffer.data(); }
    const unsigned char* Buffer(int slot) const { return slots_[std::size_t(slot)]->buffer.data(); }

    // Sends slot with length bytes of its buffer (reads: up to its size).
    // Returns 0 or libusb's error code.
    int Submit(int slot, int length);
    bool InFlight(int slot) const;
    int InFlightCount() const;
    // Cancels every transfer in flight without waiting (the board went away).
    void CancelAll();
    void CancelAndWait();

private:
    struct Slot {
        LibusbTransferSet* set = nullptr;
        int index = 0;
        libusb_transfer* transfer = nullptr;
        std::vector<unsigned char> buffer;
        bool inFlight = false; // guarded by mutex_
    };
    static void Callback(libusb_transfer* transfer);

    QObject* receiver_;
    Finished finished_;
    std::vector<std::unique_ptr<Slot>> slots_;
    quint64 epoch_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int inFlight_ = 0; // guarded by mutex_
};

} // namespace usb
