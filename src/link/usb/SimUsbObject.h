#pragma once
// One component object of the simulated backend. It opens a board of a
// VirtualBus and moves transfers between the program and the board through the
// event loop of its thread; the contract's bookkeeping is PipeCore's.
// - reads: a read slot in flight waits for the board; whenever the board has a
//   transfer pending on the bound IN endpoint, the oldest waiting slot takes at
//   most its size of it. Whatever the board has beyond that stays in the board,
//   so a board that floods the pipe never grows the queue past bufferCount reads;
// - writes: a submitted write is delivered to the board from the event loop,
//   unless writing ended meanwhile;
// - plug events follow the board in use, as on a real bus (see PipeCore);
// - faults injected on the bus: every operation asks for one under its own name
//   first, "ReadTransfer" is asked when a read takes a transfer (the transfer is
//   lost and the read fails), "WriteTransfer" when a write is delivered.
// Nothing here blocks, and nothing is raised from inside an operation.
#include "link/usb/PipeCore.h"
#include "link/usb/VirtualBus.h"

#include <QByteArray>
#include <QList>
#include <QPointer>

namespace usb {

class SimUsbObject final : public PipeCore {
    Q_OBJECT
public:
    SimUsbObject(VirtualBus& bus, QObject* parent = nullptr);
    ~SimUsbObject() override;

    Status ScanDevices(const QString& interfaceGuid, std::int32_t& count) override;
    Status AttachDevice(std::int32_t deviceNumber) override;
    Status PreparePlugEvents(const QString& interfaceGuid) override;
    Status EnablePlugEvents(const QString& interfaceGuid) override;

protected:
    bool BoardOpen() const override { return attached_; }
    bool BoardGone() const override;
    void CloseBoard() override;
    Status Claim(int /*interfaceNumber*/) override { return StatusSuccess; }
    void Release() override {}
    bool HasEndpoint(std::uint8_t address) const override;
    Status AllocateTransfers(bool reading, int size, int count) override;
    void FreeTransfers(bool reading) override;
    Status SubmitRead(int slot, int size) override;
    Status SubmitWrite(int slot, const QByteArray& data) override;
    const char* ReadBytes(int slot) const override { return readData_[slot].constData(); }
    void AbortTransfers() override;
    Status FaultFor(const char* operation) override;

private:
    bool CanRead() const;
    void SchedulePump();
    void Pump();
    void Deliver(quint64 epoch, int slot, const QByteArray& data);
    void OnPlugged(VirtualBoard* board);
    void OnUnplugged(VirtualBoard* board, quint64 plugGeneration);

    QPointer<VirtualBus> bus_;
    QPointer<VirtualBoard> board_;
    bool attached_ = false;
    quint64 plugGeneration_ = 0; // the plugging of board_ that this object opened
    QList<QMetaObject::Connection> boardConnections_;
    QList<int> waitingReads_; // read slots in flight, oldest first
    QList<QByteArray> readData_;
    bool pumpScheduled_ = false;
};

} // namespace usb
