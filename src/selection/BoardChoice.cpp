#include "selection/BoardChoice.h"

#include "link/PipeLayout.h"

namespace {

QString IdsOf(const usb::BoardListing& board)
{
    return IdsText(board.vendorId, board.productId);
}

} // namespace

QString NoBoardText(const BoardSelection& selection)
{
    const QString serial = selection.serial.isEmpty()
                               ? QString()
                               : QStringLiteral(" and the serial number %1").arg(selection.serial);
    const QString where = selection.port.Empty()
                              ? QString()
                              : QStringLiteral(" at port %1").arg(selection.port.Text());
    return QStringLiteral("no board with the ids %1%2 is plugged in%3")
        .arg(selection.IdsText(), serial, where);
}

QString PickingOption(const usb::BoardListing& board, const QList<usb::BoardListing>& boards)
{
    const auto shared = [&](auto same) {
        return std::count_if(boards.begin(), boards.end(), same) > 1;
    };
    if (board.candidate) {
        const bool sameIds = shared([&](const usb::BoardListing& other) {
            return other.vendorId == board.vendorId && other.productId == board.productId;
        });
        return QStringLiteral("--device %1").arg(IdsOf(board)) +
               (sameIds ? QStringLiteral(" --port %1").arg(board.port.Text()) : QString());
    }
    const bool sameSerial =
        shared([&](const usb::BoardListing& other) { return other.serial == board.serial; });
    if (!board.serial.isEmpty() && !sameSerial)
        return QStringLiteral("--serial %1").arg(board.serial);
    return QStringLiteral("--port %1").arg(board.port.Text());
}

QList<usb::BoardListing> FindCandidates(usb::UsbBackend& backend)
{
    QList<usb::BoardListing> devices;
    backend.ListOtherDevices(devices);
    devices.removeIf([](const usb::BoardListing& device) {
        return !device.candidate || !IsBoardLayout(device.endpoints);
    });
    return devices;
}

QString CandidateHint(const QList<usb::BoardListing>& candidates)
{
    QStringList lines;
    for (const usb::BoardListing& device : candidates)
        lines << QStringLiteral("a device that may be the board: %1 at port %2 (%3 layout): "
                                "start with %4")
                     .arg(IdsOf(device), device.port.Text(), PipeLayoutName(device.endpoints),
                          PickingOption(device, candidates));
    return lines.join(QLatin1Char('\n'));
}

QString BoardText(const usb::BoardListing& board)
{
    return QStringLiteral("the board %1 at port %2 (bus %3, address %4), %5")
        .arg(IdsOf(board), board.port.Text())
        .arg(board.port.bus, 3, 10, QLatin1Char('0'))
        .arg(board.address, 3, 10, QLatin1Char('0'))
        .arg(board.serial.isEmpty() ? QStringLiteral("no serial number")
                                    : QStringLiteral("serial %1").arg(board.serial));
}
