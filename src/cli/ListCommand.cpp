// q815ctl list: every board with the ids (at the port, when one is given).
#include "cli/CtlCommand.h"
#include "link/PipeLayout.h"
#include "link/usb/UsbObject.h"

#include <QJsonArray>
#include <QJsonObject>

QList<QCommandLineOption> ListOptions()
{
    return {JsonOption()};
}

int RunList(CtlContext& c)
{
    QList<usb::BoardListing> boards;
    c.document[QStringLiteral("boards")] = QJsonArray();
    if (const usb::Status status = c.backend.ListBoards(boards))
        return c.io.Fail(
            CtlError::NoBoard,
            QStringLiteral("cannot look at the USB bus: %1").arg(usb::StatusText(status)));
    if (boards.isEmpty()) {
        const QString where = c.selection.port.Empty()
                                  ? QString()
                                  : QStringLiteral(" at port %1").arg(c.selection.port.Text());
        return c.io.Fail(CtlError::NoBoard,
                         QStringLiteral("no board with the ids %1 is plugged in%2")
                             .arg(c.selection.IdsText(), where));
    }
    if (!c.json && c.io.OutIsTerminal())
        c.io.Line(
            QStringLiteral("ids        where                                layout       state"));
    QJsonArray list;
    for (const usb::BoardListing& board : std::as_const(boards)) {
        const BoardSelection ids{false, board.vendorId, board.productId, true, {}};
        const QString layout = PipeLayoutName(board.endpoints);
        const bool openable = board.access == usb::StatusSuccess;
        // A board with nothing but the download pipe opens, and then takes no command.
        const bool commands =
            layout != QLatin1String("download") && layout != QLatin1String("none");
        const QString access =
            !openable  ? QStringLiteral("cannot be opened: %1").arg(usb::StatusText(board.access))
            : commands ? QStringLiteral("can be opened")
                       : QStringLiteral("takes no commands");
        if (!c.json) {
            c.io.Line(QStringLiteral("%1  bus %2 address %3  port %4  %5  %6")
                          .arg(ids.IdsText())
                          .arg(board.port.bus, 3, 10, QLatin1Char('0'))
                          .arg(board.address, 3, 10, QLatin1Char('0'))
                          .arg(board.port.Text(), -9)
                          .arg(layout, -11)
                          .arg(access));
            continue;
        }
        QJsonArray endpoints;
        for (std::uint8_t address : board.endpoints)
            endpoints.append(address);
        QJsonObject entry{{QStringLiteral("ids"), ids.IdsText()},
                          {QStringLiteral("vendorId"), board.vendorId},
                          {QStringLiteral("productId"), board.productId},
                          {QStringLiteral("bus"), board.port.bus},
                          {QStringLiteral("address"), board.address},
                          {QStringLiteral("port"), board.port.Text()},
                          {QStringLiteral("layout"), layout},
                          {QStringLiteral("endpoints"), endpoints},
                          {QStringLiteral("openable"), openable},
                          {QStringLiteral("takesCommands"), commands}};
        if (!openable)
            entry.insert(QStringLiteral("problem"), usb::StatusText(board.access));
        list.append(entry);
    }
    c.document[QStringLiteral("boards")] = list;
    return ExitDone;
}
