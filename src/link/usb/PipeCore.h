#pragma once
// The part of a component object that is the same on every backend: the
// contract's bookkeeping of one pipe, written once. A backend derives from it
// and only lists and opens boards, claims the interface, submits and cancels
// transfers, and reports their completions and the plug events it sees.
//
// - reads: BeginReading keeps bufferCount read slots in flight; each finished
//   one is queued in arrival order and raises ReadComplete; FetchData hands out
//   the oldest and sends its slot out again. A read that moved no bytes is sent
//   out again unseen. errorLimit failed reads in a row (or the board gone) end
//   reading; FetchData reports that failure once the queue is empty;
// - writes: BeginWriting gives the pipe bufferCount buffers; QueueData submits
//   into a free one; the buffer is free again only when its completion comes
//   back, which then raises WriteStatusAvailable (when a status was wanted) and
//   WriteComplete, unless writing ended meanwhile;
// - every reading and writing has its epoch: completions of an ended one are
//   dropped, so nothing is raised after EndReading or EndWriting;
// - completions arrive on the object's thread from its event loop, so nothing
//   is raised from inside an operation;
// - the open board leaving (LoseBoard) fails what is in flight with "device
//   gone"; plug events follow the open board (ArrivalCounts, RemovalCounts).
#include "link/usb/UsbObject.h"

#include <QList>

namespace usb {

class PipeCore : public UsbObject {
    Q_OBJECT
public:
    using UsbObject::UsbObject;

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

    // For tests: the bound endpoint (0: none) and the finished reads waiting.
    std::uint8_t Endpoint() const { return endpoint_; }
    int QueuedReads() const { return int(finishedReads_.size()); }

protected:
    // ---- What a backend implements ----
    virtual bool BoardOpen() const = 0; // this object has a board open (gone or not)
    virtual bool BoardGone() const = 0; // the open board went away
    // Lets go of the open board; nothing is in flight any more.
    virtual void CloseBoard() = 0;
    virtual Status Claim(int interfaceNumber) = 0;
    virtual void Release() = 0;
    virtual bool HasEndpoint(std::uint8_t address) const = 0;
    virtual void EndpointChanged() {} // Endpoint() is a new one
    // Called by ClearPipe on a bound pipe of a board that is there.
    virtual Status ClearHalt() { return StatusSuccess; }
    // Readies count transfers of size bytes on the bound endpoint, for reading
    // or writing; 0 or why not.
    virtual Status AllocateTransfers(bool reading, int size, int count) = 0;
    // Cancels that direction's transfers and waits until none is in flight.
    virtual void FreeTransfers(bool reading) = 0;
    // Sends a read slot (up to size bytes) or a write slot holding data; its
    // completion comes back later through ReadFinished / WriteFinished with the
    // epoch of now. 0, or why it could not be sent.
    virtual Status SubmitRead(int slot, int size) = 0;
    virtual Status SubmitWrite(int slot, const QByteArray& data) = 0;
    // The bytes a finished read slot holds.
    virtual const char* ReadBytes(int slot) const = 0;
    // The board went away: every transfer in flight is to come back failed,
    // later, without waiting here.
    virtual void AbortTransfers() = 0;
    // Tests' faults: each operation asks first under its own name.
    virtual Status FaultFor(const char* /*operation*/) { return StatusSuccess; }

    // ---- What a backend calls ----
    quint64 ReadEpoch() const { return readEpoch_; }
    quint64 WriteEpoch() const { return writeEpoch_; }
    // A transfer came back (on this object's thread, from its event loop).
    void ReadFinished(quint64 epoch, int slot, Status status, int length);
    void WriteFinished(quint64 epoch, int slot, Status status);
    // Ends reading and writing and lets go of the board.
    void Close();
    Status CheckOpen() const; // 0, StatusNotAttached or StatusDeviceGone
    bool Lost() const { return BoardOpen() && BoardGone(); }
    bool ReadsMayStart() const;
    int ReadSize() const { return readSize_; }
    // The open board left: what is in flight fails, no new read starts.
    void LoseBoard();
    // Plug events follow the open board: an arrival counts while none is open
    // (or the open one is gone); a removal counts when the open board is the one
    // that left (ours; it is lost then) or while none is open or the open one
    // is gone already (an opening kept after its board left, when the link could
    // not let go of it: the board that comes back and leaves again is news).
    void SetPlugEvents() { plugEvents_ = true; }
    bool ArrivalCounts() const { return plugEvents_ && (!BoardOpen() || BoardGone()); }
    bool RemovalCounts(bool ours);

private:
    enum class Slot { Idle, InFlight, Queued };
    struct FinishedRead {
        int slot;
        Status status;
        int length;
    };
    struct FinishedWrite {
        std::int32_t tag;
        Status status;
    };
    void StopReading();
    void StopWriting();
    void Resubmit(int slot);

    bool interfaceDefined_ = false;
    int interfaceNumber_ = 0;
    std::uint8_t endpoint_ = 0;
    bool plugEvents_ = false;

    // Reading: active from BeginReading to EndReading; readStopped_ is the
    // failure that ended it early (error limit, unplug, refused submission),
    // after which no read starts and FetchData reports it once the queue is empty.
    bool reading_ = false;
    Status readStopped_ = StatusSuccess;
    int readSize_ = 0;
    int readLimit_ = 0;
    int readFailures_ = 0;
    QList<Slot> readSlots_;
    QList<FinishedRead> finishedReads_;
    quint64 readEpoch_ = 0;

    bool writing_ = false;
    Status writeStopped_ = StatusSuccess;
    int writeSize_ = 0;
    int writeLimit_ = 0;
    int writeFailures_ = 0;
    bool statusWanted_ = false;
    QList<bool> writeBusy_;
    QList<std::int32_t> writeTag_;
    QList<FinishedWrite> writeResults_;
    quint64 writeEpoch_ = 0;
};

} // namespace usb
