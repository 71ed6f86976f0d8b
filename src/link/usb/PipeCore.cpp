#include "link/usb/PipeCore.h"

#include <QPointer>
#include <cstring>

namespace usb {

Status PipeCore::CheckOpen() const
{
    if (!BoardOpen())
        return StatusNotAttached;
    return BoardGone() ? StatusDeviceGone : StatusSuccess;
}

void PipeCore::Close()
{
    StopReading();
    StopWriting();
    CloseBoard();
    interfaceDefined_ = false;
    endpoint_ = 0;
}

void PipeCore::StopReading()
{
    FreeTransfers(true);
    reading_ = false;
    readStopped_ = StatusSuccess;
    readFailures_ = 0;
    readSlots_.clear();
    finishedReads_.clear();
    ++readEpoch_; // completions still on their way are dropped
}

void PipeCore::StopWriting()
{
    FreeTransfers(false);
    writing_ = false;
    writeStopped_ = StatusSuccess;
    writeFailures_ = 0;
    writeBusy_.clear();
    writeTag_.clear();
    writeResults_.clear();
    ++writeEpoch_;
}

Status PipeCore::DetachDevice()
{
    if (const Status fault = FaultFor("DetachDevice"))
        return fault;
    if (!BoardOpen())
        return StatusNotAttached;
    Close();
    return StatusSuccess;
}

Status PipeCore::DefineInterface(std::int32_t interfaceNumber, std::int32_t alternateSetting,
                                 std::int32_t maxTransferSize)
{
    if (const Status fault = FaultFor("DefineInterface"))
        return fault;
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

Status PipeCore::ClearInterfaces()
{
    if (const Status fault = FaultFor("ClearInterfaces"))
        return fault;
    if (BoardOpen())
        Release();
    interfaceDefined_ = false;
    return StatusSuccess;
}

Status PipeCore::ApplyConfiguration(std::int32_t configurationIndex)
{
    if (const Status fault = FaultFor("ApplyConfiguration"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (!interfaceDefined_)
        return StatusNoInterface;
    // Index 0 is the board's only configuration (configuration value 1).
    if (configurationIndex != 0)
        return StatusBadArgument;
    return Claim(interfaceNumber_);
}

QString PipeCore::StatusText(Status status) const
{
    return usb::StatusText(status);
}

Status PipeCore::AssignEndpoint(std::uint8_t endpointAddress)
{
    if (const Status fault = FaultFor("AssignEndpoint"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (!HasEndpoint(endpointAddress))
        return StatusNoEndpoint;
    if (endpointAddress != endpoint_) {
        StopReading();
        StopWriting();
        endpoint_ = endpointAddress;
        EndpointChanged();
    }
    return StatusSuccess;
}

Status PipeCore::ClearPipe()
{
    if (const Status fault = FaultFor("ClearPipe"))
        return fault;
    if (!BoardOpen() || endpoint_ == 0)
        return StatusNotBound;
    if (BoardGone())
        return StatusDeviceGone;
    if (const Status halt = ClearHalt())
        return halt;
    const QList<FinishedRead> dropped = std::exchange(finishedReads_, {});
    readFailures_ = 0;
    writeResults_.clear();
    for (const FinishedRead& read : dropped) {
        readSlots_[read.slot] = Slot::Idle;
        Resubmit(read.slot); // room for new reads again
    }
    return StatusSuccess;
}

bool PipeCore::ReadsMayStart() const
{
    return reading_ && readStopped_ == StatusSuccess && BoardOpen() && !BoardGone();
}

// Sends a read slot whose data has been handed out (or dropped) again. A
// refused submission ends reading; FetchData reports it once the queue is empty.
void PipeCore::Resubmit(int slot)
{
    if (!ReadsMayStart() || readSlots_[slot] != Slot::Idle)
        return;
    if (const Status refused = SubmitRead(slot, readSize_))
        readStopped_ = refused;
    else
        readSlots_[slot] = Slot::InFlight;
}

Status PipeCore::BeginReading(std::int32_t bufferSize, std::int32_t bufferCount,
                              std::int32_t errorLimit)
{
    if (const Status fault = FaultFor("BeginReading"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (endpoint_ == 0)
        return StatusNotBound;
    if (!(endpoint_ & 0x80) || bufferSize <= 0 || bufferCount <= 0)
        return StatusBadArgument;
    StopReading(); // a second BeginReading starts over
    if (const Status refused = AllocateTransfers(true, bufferSize, bufferCount))
        return refused;
    reading_ = true;
    readSize_ = bufferSize;
    readLimit_ = qMax(1, errorLimit);
    readSlots_ = QList<Slot>(bufferCount, Slot::Idle);
    for (int slot = 0; slot < bufferCount; ++slot) {
        if (const Status refused = SubmitRead(slot, bufferSize)) {
            StopReading();
            return refused;
        }
        readSlots_[slot] = Slot::InFlight;
    }
    return StatusSuccess;
}

void PipeCore::ReadFinished(quint64 epoch, int slot, Status status, int length)
{
    if (epoch != readEpoch_ || !reading_)
        return; // reading ended before this read came back
    readSlots_[slot] = Slot::Idle;
    if (Lost())
        status = StatusDeviceGone;
    if (status != StatusSuccess) {
        finishedReads_.append(FinishedRead{slot, status, 0});
        if (++readFailures_ >= readLimit_ || Lost())
            readStopped_ = status;
    } else if (length == 0) {
        Resubmit(slot); // a read that moved nothing carries nothing for the program
        return;
    } else {
        readFailures_ = 0;
        finishedReads_.append(FinishedRead{slot, StatusSuccess, length});
    }
    readSlots_[slot] = Slot::Queued;
    Q_EMIT ReadComplete(this);
}

Status PipeCore::FetchData(QByteArray& buffer, std::int32_t& byteCount)
{
    byteCount = 0;
    if (const Status fault = FaultFor("FetchData"))
        return fault;
    if (finishedReads_.isEmpty())
        return readStopped_ != StatusSuccess ? readStopped_ : StatusNoData;
    const FinishedRead read = finishedReads_.takeFirst();
    std::int32_t copied = 0;
    if (read.status == StatusSuccess) {
        copied = std::int32_t(qMin<qsizetype>(buffer.size(), read.length));
        if (copied > 0)
            std::memcpy(buffer.data(), ReadBytes(read.slot), std::size_t(copied));
    }
    readSlots_[read.slot] = Slot::Idle;
    Resubmit(read.slot); // the fetched read goes back into flight
    if (read.status != StatusSuccess)
        return read.status;
    byteCount = copied;
    return StatusSuccess;
}

Status PipeCore::EndReading()
{
    if (const Status fault = FaultFor("EndReading"))
        return fault;
    StopReading();
    return StatusSuccess;
}

Status PipeCore::BeginWriting(std::int32_t bufferSize, std::int32_t bufferCount,
                              std::int32_t errorLimit, bool statusWanted)
{
    if (const Status fault = FaultFor("BeginWriting"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (endpoint_ == 0)
        return StatusNotBound;
    if ((endpoint_ & 0x80) || bufferSize <= 0 || bufferCount <= 0)
        return StatusBadArgument;
    StopWriting(); // a second BeginWriting starts over
    if (const Status refused = AllocateTransfers(false, bufferSize, bufferCount))
        return refused;
    writing_ = true;
    writeSize_ = bufferSize;
    writeLimit_ = qMax(1, errorLimit);
    statusWanted_ = statusWanted;
    writeBusy_ = QList<bool>(bufferCount, false);
    writeTag_ = QList<std::int32_t>(bufferCount, 0);
    return StatusSuccess;
}

Status PipeCore::QueueData(const QByteArray& data, std::int32_t tag)
{
    if (const Status fault = FaultFor("QueueData"))
        return fault;
    if (const Status open = CheckOpen())
        return open;
    if (writeStopped_ != StatusSuccess)
        return writeStopped_;
    if (!writing_)
        return StatusNotActive;
    if (data.size() > writeSize_)
        return StatusBadArgument;
    const qsizetype slot = writeBusy_.indexOf(false);
    if (slot < 0)
        return StatusQueueFull;
    if (const Status refused = SubmitWrite(int(slot), data))
        return refused;
    writeBusy_[slot] = true;
    writeTag_[slot] = tag;
    return StatusSuccess;
}

void PipeCore::WriteFinished(quint64 epoch, int slot, Status status)
{
    if (epoch != writeEpoch_ || !writing_)
        return; // writing ended before this write came back
    const QPointer<PipeCore> self(this);
    if (status != StatusSuccess && Lost())
        status = StatusDeviceGone;
    writeBusy_[slot] = false;
    if (status != StatusSuccess) {
        if (++writeFailures_ >= writeLimit_)
            writeStopped_ = status;
    } else {
        writeFailures_ = 0;
    }
    if (statusWanted_) {
        writeResults_.append(FinishedWrite{writeTag_[slot], status});
        Q_EMIT WriteStatusAvailable(this);
        if (!self || epoch != writeEpoch_)
            return; // the handler ended writing: no WriteComplete
    }
    Q_EMIT WriteComplete(this);
}

Status PipeCore::FetchWriteStatus(std::int32_t& tag)
{
    if (const Status fault = FaultFor("FetchWriteStatus"))
        return fault;
    if (writeResults_.isEmpty())
        return StatusNoData;
    const FinishedWrite write = writeResults_.takeFirst();
    tag = write.tag;
    return write.status;
}

Status PipeCore::EndWriting()
{
    if (const Status fault = FaultFor("EndWriting"))
        return fault;
    StopWriting();
    return StatusSuccess;
}

// Reads that come back from now on fail with "device gone" and tell the
// program through ReadComplete. When none is in flight, nothing would come back
// to tell it: that is said here, from the event loop.
void PipeCore::LoseBoard()
{
    if (reading_ && readStopped_ == StatusSuccess) {
        readStopped_ = StatusDeviceGone;
        if (!readSlots_.contains(Slot::InFlight) && finishedReads_.isEmpty()) {
            QMetaObject::invokeMethod(
                this,
                [this, epoch = readEpoch_] {
                    if (epoch == readEpoch_)
                        Q_EMIT ReadComplete(this);
                },
                Qt::QueuedConnection);
        }
    }
    AbortTransfers();
}

bool PipeCore::RemovalCounts(bool ours)
{
    if (ours)
        LoseBoard();
    return plugEvents_ && (ours || !BoardOpen() || BoardGone());
}

} // namespace usb
