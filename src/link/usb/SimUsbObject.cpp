#include "link/usb/SimUsbObject.h"

namespace usb {

SimUsbObject::SimUsbObject(VirtualBus& bus, QObject* parent) : PipeCore(parent), bus_(&bus)
{
    connect(&bus, &VirtualBus::Plugged, this, &SimUsbObject::OnPlugged);
    connect(&bus, &VirtualBus::Unplugged, this, &SimUsbObject::OnUnplugged);
}

SimUsbObject::~SimUsbObject() = default;

Status SimUsbObject::FaultFor(const char* operation)
{
    return bus_ ? bus_->TakeFault(objectName(), QString::fromLatin1(operation)) : StatusSuccess;
}

bool SimUsbObject::BoardGone() const
{
    return !board_ || !bus_ || bus_->PlugGeneration(board_) != plugGeneration_;
}

void SimUsbObject::CloseBoard()
{
    for (const QMetaObject::Connection& c : std::as_const(boardConnections_))
        disconnect(c);
    boardConnections_.clear();
    board_ = nullptr;
    attached_ = false;
    plugGeneration_ = 0;
}

Status SimUsbObject::ScanDevices(const QString& /*interfaceGuid*/, std::int32_t& count)
{
    count = 0;
    if (const Status fault = FaultFor("ScanDevices"))
        return fault;
    count = bus_ ? std::int32_t(bus_->Boards().size()) : 0;
    return StatusSuccess;
}

Status SimUsbObject::AttachDevice(std::int32_t deviceNumber)
{
    if (const Status fault = FaultFor("AttachDevice"))
        return fault;
    const QList<VirtualBoard*> boards = bus_ ? bus_->Boards() : QList<VirtualBoard*>{};
    if (deviceNumber < 0 || deviceNumber >= boards.size())
        return StatusNoDevice;
    VirtualBoard* board = boards[deviceNumber];
    if (const Status refusal = board->OpenRefusal())
        return refusal;
    const quint64 generation = bus_->PlugGeneration(board);
    // Opening the board this object already has open keeps everything as it is.
    if (attached_ && board_ == board && plugGeneration_ == generation)
        return StatusSuccess;
    Close();
    board_ = board;
    plugGeneration_ = generation;
    attached_ = true;
    boardConnections_ << connect(board, &VirtualBoard::DataReady, this,
                                 [this](std::uint8_t endpoint) {
                                     if (endpoint == Endpoint())
                                         SchedulePump();
                                 });
    boardConnections_ << connect(board, &QObject::destroyed, this, [this] { LoseBoard(); });
    return StatusSuccess;
}

bool SimUsbObject::HasEndpoint(std::uint8_t address) const
{
    return board_->HasEndpoint(address);
}

Status SimUsbObject::AllocateTransfers(bool reading, int /*size*/, int count)
{
    if (reading)
        readData_ = QList<QByteArray>(count);
    return StatusSuccess;
}

// Writes not yet delivered carry an older epoch and are dropped.
void SimUsbObject::FreeTransfers(bool reading)
{
    if (reading)
        waitingReads_.clear();
}

Status SimUsbObject::SubmitRead(int slot, int /*size*/)
{
    waitingReads_.append(slot);
    SchedulePump();
    return StatusSuccess;
}

bool SimUsbObject::CanRead() const
{
    return ReadsMayStart() && !waitingReads_.isEmpty() && board_->HasPending(Endpoint());
}

void SimUsbObject::SchedulePump()
{
    if (pumpScheduled_ || !CanRead())
        return;
    pumpScheduled_ = true;
    QMetaObject::invokeMethod(this, &SimUsbObject::Pump, Qt::QueuedConnection);
}

// Finishes one read per pass of the event loop, then schedules the next.
void SimUsbObject::Pump()
{
    pumpScheduled_ = false;
    if (!CanRead())
        return;
    const int slot = waitingReads_.takeFirst();
    const QByteArray data = board_->TakeTransfer(Endpoint(), ReadSize());
    const Status failure = FaultFor("ReadTransfer");
    readData_[slot] = failure ? QByteArray() : data;
    const QPointer<SimUsbObject> self(this);
    ReadFinished(ReadEpoch(), slot, failure, int(readData_[slot].size()));
    if (self)
        SchedulePump();
}

Status SimUsbObject::SubmitWrite(int slot, const QByteArray& data)
{
    QMetaObject::invokeMethod(
        this, [this, epoch = WriteEpoch(), slot, data] { Deliver(epoch, slot, data); },
        Qt::QueuedConnection);
    return StatusSuccess;
}

void SimUsbObject::Deliver(quint64 epoch, int slot, const QByteArray& data)
{
    if (epoch != WriteEpoch())
        return; // cancelled by EndWriting or a new BeginWriting before it went out
    const Status status = BoardGone() ? StatusDeviceGone : FaultFor("WriteTransfer");
    if (status == StatusSuccess) {
        const QPointer<SimUsbObject> self(this);
        board_->Receive(Endpoint(), data);
        if (!self)
            return;
    }
    WriteFinished(epoch, slot, status);
}

// Every read slot waiting for the board comes back failed. Writes not yet
// delivered fail when they are.
void SimUsbObject::AbortTransfers()
{
    for (const int slot : std::exchange(waitingReads_, {})) {
        QMetaObject::invokeMethod(
            this,
            [this, epoch = ReadEpoch(), slot] { ReadFinished(epoch, slot, StatusDeviceGone, 0); },
            Qt::QueuedConnection);
    }
}

Status SimUsbObject::PreparePlugEvents(const QString& /*interfaceGuid*/)
{
    if (const Status fault = FaultFor("PreparePlugEvents"))
        return fault;
    return bus_ ? StatusSuccess : StatusNotSupported;
}

Status SimUsbObject::EnablePlugEvents(const QString& /*interfaceGuid*/)
{
    if (const Status fault = FaultFor("EnablePlugEvents"))
        return fault;
    if (!bus_)
        return StatusNotSupported;
    SetPlugEvents();
    return StatusSuccess;
}

void SimUsbObject::OnPlugged(VirtualBoard* /*board*/)
{
    if (ArrivalCounts())
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT PnPAddNotification(this); }, Qt::QueuedConnection);
}

// Ours only when the plugging that left is the one this object opened.
void SimUsbObject::OnUnplugged(VirtualBoard* board, quint64 plugGeneration)
{
    const bool ours = attached_ && board_ == board && plugGeneration_ == plugGeneration;
    if (RemovalCounts(ours))
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT PnPRemoveNotification(this); }, Qt::QueuedConnection);
}

} // namespace usb
