#include "link/usb/SimBackend.h"

#include "link/usb/SimUsbObject.h"

namespace usb {

UsbObject* SimBackend::CreateObject(const QString& name, QObject* parent, std::int32_t& failure)
{
    failure = createFailure_;
    if (failure != 0)
        return nullptr;
    auto* object = new SimUsbObject(bus_, parent);
    object->setObjectName(name);
    return object;
}

Status SimBackend::ListBoards(QList<BoardListing>& boards)
{
    boards.clear();
    const QList<VirtualBoard*> plugged = bus_.Boards();
    for (qsizetype i = 0; i < plugged.size(); ++i) {
        const VirtualBoard& board = *plugged[i];
        boards.append({board.VendorId(), board.ProductId(), PortPath{1, {std::uint8_t(i + 1)}},
                       std::uint8_t(i + 2), board.Endpoints(), board.OpenRefusal(),
                       board.Serial()});
    }
    return StatusSuccess;
}

// The objects attach the first board on the bus.
bool SimBackend::DescribeOpenBoard(BoardListing& board)
{
    QList<BoardListing> boards;
    ListBoards(boards);
    if (boards.isEmpty())
        return false;
    board = boards.constFirst();
    return true;
}

} // namespace usb
