#include "link/usb/SimUsbObject.h"

#include <cstring>

namespace usb {

SimUsbObject::SimUsbObject(VirtualBus& bus, QObject* parent) : UsbObject(parent), bus_(&bus)
{
    connect(&bus, &VirtualBus::Plugged, this, &SimUsbObject::OnPlugged);
    connect(&bus, &VirtualBus::Unplugged, this, &SimUsbObject::OnUnplugged);
}

SimUsbObject::~SimUsbObject() = default;

Status SimUsbObject::Fault(const char* operation)
{
    return bus_ ? bus_->TakeFault(objectName(), QString::fromLatin1(operation)) : StatusSuccess;
}

bool SimUsbObject::BoardGone() const
{
    return boardLost_ || !board_ || !bus_ || bus_->PlugGeneration(board_) != plugGeneration_;
}

Status SimUsbObject::CheckOpen() const
{
    if (!attached_)
        return StatusNotAttached;
    return BoardGone() ? StatusDeviceGone : StatusSuccess;
}

void SimUsbObject::Close()
{
    for (const QMetaObject::Connection& c : std::as_const(boardConnections_))
        disconnect(c);
    boardConnections_.clear();
    board_ = nullptr;
    attached_ = false;
    boardLost_ = false;
    plugGeneration_ = 0;
    interfaceDefined_ = false;
    endpoint_ = 0;
    StopReading();
    StopWriting();
}

void SimUsbObject::StopReading()
{
    reading_ = false;
    readStopped_ = StatusSuccess;
    readFailures_ = 0;
    reads_.clear();
    ++readEpoch_;
}

void SimUsbObject::StopWriting()
{
    writing_ = false;
    writeStopped_ = StatusSuccess;
    writeFailures_ = 0;
    buffersInUse_ = 0;
    writeResults_.clear();
    ++writeEpoch_;
}

Status SimUsbObject::ScanDevices(const QString& /*interfaceGuid*/, std::int32_t& count)
{
    count = 0;
    if (const Status fault = Fault("ScanDevices"))
        return fault;
    count = bus_ ? std::int32_t(bus_->Boards().size()) : 0;
    return StatusSuccess;
}

Status SimUsbObject::AttachDevice(std::int32_t deviceNumber)
{
    if (const Status fault = Fault("AttachDevice"))
        return fault;
    const QList<VirtualBoard*> boards = bus_ ? bus_->Boards() : QList<VirtualBoard*>{};
    if (deviceNumber < 0 || deviceNumber >= boards.size())
        return StatusNoDevice;
    VirtualBoard* board = boards[deviceNumber];
    if (const Status refusal = board->OpenRefusal())
        return refusal;
    const quint64 generation = bus_->PlugGeneration(board);
    // Opening the board this object already has open keeps everything as it is.
    if (attached_ && !BoardGone() && board_ == board && plugGeneration_ == generation)
        return StatusSuccess;
    Close();
    board_ = board;
    plugGeneration_ = generation;
    attached_ = true;
    boardConnections_ << connect(board, &VirtualBoard::DataReady, this,
                                 [this](std::uint8_t endpoint) {
                                     if (endpoint == endpoint_)
                                         SchedulePump();
                                 });
    boardConnections_ << connect(board, &QObject::destroyed, this, &SimUsbObject::LoseBoard);
    return StatusSuccess;
}

Status SimUsbObject::DetachDevice()
{
    if (const Status fault = Fault("DetachDevice"))
        return fault;
    if (!attached_)
        return StatusNotAttached;
    Close();
    return StatusSuccess;
}

Status SimUsbObject::DefineInterface(std::int32_t interfaceNumber, std::int32_t alternateSetting,
                                     std::int32_t maxTransferSize)
{
    if (const Status fault = Fault("DefineInterface"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (interfaceNumber != 0 || alternateSetting != 0)
        return StatusNoInterface; // the board has one interface with one setting
    if (maxTransferSize <= 0)
        return StatusBadArgument;
    interfaceDefined_ = true;
    return StatusSuccess;
}

Status SimUsbObject::ClearInterfaces()
{
    if (const Status fault = Fault("ClearInterfaces"))
        return fault;
    interfaceDefined_ = false;
    return StatusSuccess;
}

Status SimUsbObject::ApplyConfiguration(std::int32_t configurationIndex)
{
    if (const Status fault = Fault("ApplyConfiguration"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (!interfaceDefined_)
        return StatusNoInterface;
    // Index 0 is the board's only configuration (configuration value 1).
    return configurationIndex == 0 ? StatusSuccess : StatusBadArgument;
}

QString SimUsbObject::StatusText(Status status) const
{
    return usb::StatusText(status);
}

Status SimUsbObject::AssignEndpoint(std::uint8_t endpointAddress)
{
    if (const Status fault = Fault("AssignEndpoint"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (!board_->HasEndpoint(endpointAddress))
        return StatusNoEndpoint;
    if (endpointAddress != endpoint_) {
        StopReading();
        StopWriting();
        endpoint_ = endpointAddress;
    }
    return StatusSuccess;
}

Status SimUsbObject::ClearPipe()
{
    if (const Status fault = Fault("ClearPipe"))
        return fault;
    if (!attached_ || endpoint_ == 0)
        return StatusNotBound;
    if (BoardGone())
        return StatusDeviceGone;
    reads_.clear();
    readFailures_ = 0;
    writeResults_.clear();
    SchedulePump(); // room for new reads again
    return StatusSuccess;
}

Status SimUsbObject::BeginReading(std::int32_t bufferSize, std::int32_t bufferCount,
                                  std::int32_t errorLimit)
{
    if (const Status fault = Fault("BeginReading"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (endpoint_ == 0)
        return StatusNotBound;
    if (!(endpoint_ & 0x80) || bufferSize <= 0 || bufferCount <= 0)
        return StatusBadArgument;
    StopReading(); // a second BeginReading starts over
    reading_ = true;
    readSize_ = bufferSize;
    readCount_ = bufferCount;
    readLimit_ = qMax(1, errorLimit);
    SchedulePump();
    return StatusSuccess;
}

Status SimUsbObject::FetchData(QByteArray& buffer, std::int32_t& byteCount)
{
    byteCount = 0;
    if (const Status fault = Fault("FetchData"))
        return fault;
    if (reads_.isEmpty())
        return readStopped_ != StatusSuccess ? readStopped_ : StatusNoData;
    const FinishedRead read = reads_.takeFirst();
    SchedulePump(); // the fetched read's buffer goes back into flight
    if (read.status != StatusSuccess)
        return read.status;
    const qsizetype n = qMin(buffer.size(), read.data.size());
    if (n > 0)
        std::memcpy(buffer.data(), read.data.constData(), std::size_t(n));
    byteCount = std::int32_t(n);
    return StatusSuccess;
}

Status SimUsbObject::EndReading()
{
    if (const Status fault = Fault("EndReading"))
        return fault;
    StopReading();
    return StatusSuccess;
}

bool SimUsbObject::CanRead() const
{
    return reading_ && readStopped_ == StatusSuccess && attached_ && !BoardGone() &&
           reads_.size() < readCount_ && board_->HasPending(endpoint_);
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
    const QByteArray data = board_->TakeTransfer(endpoint_, readSize_);
    if (const Status failure = Fault("ReadTransfer")) {
        reads_.append(FinishedRead{failure, {}});
        if (++readFailures_ >= readLimit_)
            readStopped_ = failure;
    } else {
        readFailures_ = 0;
        reads_.append(FinishedRead{StatusSuccess, data});
    }
    const QPointer<SimUsbObject> self(this);
    Q_EMIT ReadComplete(this);
    if (self)
        SchedulePump();
}

Status SimUsbObject::BeginWriting(std::int32_t bufferSize, std::int32_t bufferCount,
                                  std::int32_t errorLimit, bool statusWanted)
{
    if (const Status fault = Fault("BeginWriting"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (endpoint_ == 0)
        return StatusNotBound;
    if ((endpoint_ & 0x80) || bufferSize <= 0 || bufferCount <= 0)
        return StatusBadArgument;
    StopWriting(); // a second BeginWriting starts over
    writing_ = true;
    writeSize_ = bufferSize;
    writeCount_ = bufferCount;
    writeLimit_ = qMax(1, errorLimit);
    statusWanted_ = statusWanted;
    return StatusSuccess;
}

Status SimUsbObject::QueueData(const QByteArray& data, std::int32_t tag)
{
    if (const Status fault = Fault("QueueData"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (writeStopped_ != StatusSuccess)
        return writeStopped_;
    if (!writing_)
        return StatusNotActive;
    if (data.size() > writeSize_)
        return StatusBadArgument;
    if (buffersInUse_ >= writeCount_)
        return StatusQueueFull;
    ++buffersInUse_;
    QMetaObject::invokeMethod(
        this, [this, epoch = writeEpoch_, tag, data] { Deliver(epoch, tag, data); },
        Qt::QueuedConnection);
    return StatusSuccess;
}

void SimUsbObject::Deliver(quint64 epoch, std::int32_t tag, const QByteArray& data)
{
    if (epoch != writeEpoch_)
        return; // cancelled by EndWriting or a new BeginWriting before it went out
    const QPointer<SimUsbObject> self(this);
    Status status = BoardGone() ? StatusDeviceGone : Fault("WriteTransfer");
    if (status == StatusSuccess) {
        board_->Receive(endpoint_, data);
        if (!self || epoch != writeEpoch_)
            return;
    }
    --buffersInUse_;
    if (status != StatusSuccess) {
        if (++writeFailures_ >= writeLimit_)
            writeStopped_ = status;
    } else {
        writeFailures_ = 0;
    }
    if (statusWanted_) {
        writeResults_.append(FinishedWrite{tag, status});
        Q_EMIT WriteStatusAvailable(this);
        if (!self || epoch != writeEpoch_)
            return; // the handler ended writing: no WriteComplete
    }
    Q_EMIT WriteComplete(this);
}

Status SimUsbObject::FetchWriteStatus(std::int32_t& tag)
{
    if (const Status fault = Fault("FetchWriteStatus"))
        return fault;
    if (writeResults_.isEmpty())
        return StatusNoData;
    const FinishedWrite write = writeResults_.takeFirst();
    tag = write.tag;
    return write.status;
}

Status SimUsbObject::EndWriting()
{
    if (const Status fault = Fault("EndWriting"))
        return fault;
    StopWriting();
    return StatusSuccess;
}

Status SimUsbObject::PreparePlugEvents(const QString& /*interfaceGuid*/)
{
    if (const Status fault = Fault("PreparePlugEvents"))
        return fault;
    return bus_ ? StatusSuccess : StatusNotSupported;
}

Status SimUsbObject::EnablePlugEvents(const QString& /*interfaceGuid*/)
{
    if (const Status fault = Fault("EnablePlugEvents"))
        return fault;
    if (!bus_)
        return StatusNotSupported;
    plugEvents_ = true;
    return StatusSuccess;
}

// The open board went away (unplugged or destroyed): every read in flight fails
// with "device gone" and raises ReadComplete, and no new read starts. Writes in
// flight fail when they are delivered.
void SimUsbObject::LoseBoard()
{
    if (!attached_ || boardLost_)
        return;
    boardLost_ = true;
    if (!reading_ || readStopped_ != StatusSuccess)
        return;
    const int inFlight = qMax(1, readCount_ - int(reads_.size()));
    for (int i = 0; i < inFlight; ++i) {
        reads_.append(FinishedRead{StatusDeviceGone, {}});
        QMetaObject::invokeMethod(
            this,
            [this, epoch = readEpoch_] {
                if (epoch == readEpoch_)
                    Q_EMIT ReadComplete(this);
            },
            Qt::QueuedConnection);
    }
    readStopped_ = StatusDeviceGone;
}

void SimUsbObject::OnPlugged(VirtualBoard* /*board*/)
{
    if (plugEvents_)
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT PnPAddNotification(this); }, Qt::QueuedConnection);
}

// Any board leaving the bus is reported, as the platform's hotplug reports any
// matching device; only objects that had this board open lose their transfers.
void SimUsbObject::OnUnplugged(VirtualBoard* board)
{
    if (attached_ && board_ == board)
        LoseBoard();
    if (plugEvents_)
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT PnPRemoveNotification(this); }, Qt::QueuedConnection);
}

} // namespace usb
