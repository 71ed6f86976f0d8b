#include "link/usb/VirtualBus.h"

#include <algorithm>

namespace usb {

VirtualBus::VirtualBus(QObject* parent) : QObject(parent) {}

void VirtualBus::Plug(VirtualBoard* board)
{
    if (!board || PlugGeneration(board) != 0)
        return;
    ++generation_;
    boards_.append(PluggedBoard{board, generation_});
    Q_EMIT Plugged(board);
}

void VirtualBus::Unplug(VirtualBoard* board)
{
    const auto it = std::find_if(boards_.begin(), boards_.end(),
                                 [board](const PluggedBoard& p) { return p.board == board; });
    if (!board || it == boards_.end())
        return;
    const quint64 plugGeneration = it->generation;
    boards_.erase(it);
    ++generation_;
    // A board that loses power forgets what it had queued for the host.
    for (std::uint8_t endpoint : board->Endpoints()) {
        if (endpoint & 0x80)
            board->DropPending(endpoint);
    }
    Q_EMIT Unplugged(board, plugGeneration);
}

QList<VirtualBoard*> VirtualBus::Boards() const
{
    QList<VirtualBoard*> boards;
    for (const PluggedBoard& p : boards_) {
        if (p.board)
            boards.append(p.board);
    }
    return boards;
}

quint64 VirtualBus::PlugGeneration(const VirtualBoard* board) const
{
    for (const PluggedBoard& p : boards_) {
        if (p.board && p.board == board)
            return p.generation;
    }
    return 0;
}

void VirtualBus::InjectFault(const QString& objectName, const QString& operation, Status status,
                             int skip, int times)
{
    if (status == StatusSuccess || times == 0)
        return;
    faults_.append(Fault{objectName, operation, status, qMax(0, skip), times < 0 ? -1 : times});
}

void VirtualBus::ClearFaults()
{
    faults_.clear();
}

// Every fault that matches counts the call: those still skipping count down,
// the first one due answers it.
Status VirtualBus::TakeFault(const QString& objectName, const QString& operation)
{
    Status result = StatusSuccess;
    for (qsizetype i = 0; i < faults_.size();) {
        Fault& fault = faults_[i];
        const bool matches = fault.operation == operation &&
                             (fault.objectName.isEmpty() || fault.objectName == objectName);
        if (!matches) {
            ++i;
            continue;
        }
        if (fault.skip > 0) {
            --fault.skip;
            ++i;
            continue;
        }
        if (result != StatusSuccess) {
            ++i;
            continue;
        }
        result = fault.status;
        if (fault.times > 0 && --fault.times == 0) {
            faults_.removeAt(i);
            continue;
        }
        ++i;
    }
    return result;
}

} // namespace usb
