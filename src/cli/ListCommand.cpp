// q815ctl list: every board with the ids (at the port, with the serial number,
// when one is given); with --all also the candidates, devices with other ids
// that may be the board.
#include "cli/CtlCommand.h"
#include "link/PipeLayout.h"
#include "link/usb/UsbObject.h"
#include "selection/BoardChoice.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

const QString All = QStringLiteral("all");

// A board with nothing but the download pipe opens, and then takes no command.
bool TakesCommands(const usb::BoardListing& board)
{
    const QString layout = PipeLayoutName(board.endpoints);
    return layout != QLatin1String("download") && layout != QLatin1String("none");
}

// Its state column: whether it can be opened and takes commands, or, for a
// candidate, the option to start with.
QString StateOf(const usb::BoardListing& board, const QList<usb::BoardListing>& listed)
{
    if (board.candidate)
        return QStringLiteral("may be the board (other ids): %1").arg(PickingOption(board, listed));
    if (board.access != usb::StatusSuccess)
        return QStringLiteral("cannot be opened: %1").arg(usb::StatusText(board.access));
    return TakesCommands(board) ? QStringLiteral("can be opened")
                                : QStringLiteral("takes no commands");
}

QJsonObject JsonOf(const usb::BoardListing& board, const QList<usb::BoardListing>& listed)
{
    QJsonArray endpoints;
    for (std::uint8_t address : board.endpoints)
        endpoints.append(address);
    QJsonObject entry{{QStringLiteral("ids"), IdsText(board.vendorId, board.productId)},
                      {QStringLiteral("vendorId"), board.vendorId},
                      {QStringLiteral("productId"), board.productId},
                      {QStringLiteral("bus"), board.port.bus},
                      {QStringLiteral("address"), board.address},
                      {QStringLiteral("port"), board.port.Text()},
                      {QStringLiteral("serial"), board.serial},
                      {QStringLiteral("layout"), PipeLayoutName(board.endpoints)},
                      {QStringLiteral("endpoints"), endpoints},
                      {QStringLiteral("candidate"), board.candidate},
                      {QStringLiteral("option"), PickingOption(board, listed)}};
    if (board.candidate)
        return entry; // never opened: nothing is known of its access
    const bool openable = board.access == usb::StatusSuccess;
    entry.insert(QStringLiteral("openable"), openable);
    entry.insert(QStringLiteral("takesCommands"), TakesCommands(board));
    if (!openable)
        entry.insert(QStringLiteral("problem"), usb::StatusText(board.access));
    return entry;
}

} // namespace

QList<QCommandLineOption> ListOptions()
{
    return {JsonOption(), QCommandLineOption(All, QStringLiteral("Also list devices with other "
                                                                 "ids that may be the board "
                                                                 "(never opened)."))};
}

int RunList(CtlContext& c)
{
    QList<usb::BoardListing> boards;
    c.document[QStringLiteral("boards")] = QJsonArray();
    if (const usb::Status status = c.backend.ListBoards(boards))
        return c.io.Fail(
            CtlError::NoBoard,
            QStringLiteral("cannot look at the USB bus: %1").arg(usb::StatusText(status)));
    const bool all = c.parser.isSet(All);
    const QList<usb::BoardListing> candidates =
        all || boards.isEmpty() ? FindCandidates(c.backend) : QList<usb::BoardListing>();
    QList<usb::BoardListing> listed = boards;
    if (all)
        listed += candidates;
    if (!c.json && c.io.OutIsTerminal() && !listed.isEmpty())
        c.io.Line(QStringLiteral("ids        where                            serial        "
                                 "layout       state"));
    QJsonArray list;
    for (const usb::BoardListing& board : std::as_const(listed)) {
        if (c.json) {
            list.append(JsonOf(board, listed));
            continue;
        }
        c.io.Line(QStringLiteral("%1  bus %2 address %3  port %4  %5  %6  %7")
                      .arg(IdsText(board.vendorId, board.productId))
                      .arg(board.port.bus, 3, 10, QLatin1Char('0'))
                      .arg(board.address, 3, 10, QLatin1Char('0'))
                      .arg(board.port.Text(), -9)
                      .arg(board.serial.isEmpty() ? QStringLiteral("-") : board.serial, -12)
                      .arg(PipeLayoutName(board.endpoints), -11)
                      .arg(StateOf(board, listed)));
    }
    c.document[QStringLiteral("boards")] = list;
    if (!boards.isEmpty())
        return ExitDone;
    const QString more =
        candidates.isEmpty() || all
            ? QString()
            : QStringLiteral("; 'q815ctl list --all' shows devices that may be the board");
    return c.io.Fail(CtlError::NoBoard, NoBoardText(c.selection) + more);
}
