// q815ctl info: the board's identity and command table, read as the
// "Information" page reads them.
#include "board/BoardInformation.h"
#include "link/BoardProtocol.h"
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"

#include <QJsonArray>
#include <QJsonObject>

QList<QCommandLineOption> InfoOptions()
{
    return {JsonOption()};
}

int RunInfo(CtlContext& c)
{
    CtlBoard board(c.backend, c.io, c.selection);
    if (const int opened = board.Open())
        return opened;
    BoardInformation information(board.Link());
    QStringList entries;
    int exit = ExitDone;
    // Each reply is checked right after its exchange.
    const auto check = [&](const QString& command, const QString& text) {
        const int status = ReplyExit(text, board.TakeSilentWaits() > 0);
        if (status == ExitDone || exit == ExitNoAnswer ||
            (status == ExitNoBoard && exit == ExitNoBoard))
            return;
        board.Explain(command, {text, status});
        if (exit == ExitDone)
            exit = status;
        // A board that fell silent is not asked thirteen more times for three
        // seconds each.
        if (status == ExitNoAnswer)
            board.Link().Shutdown();
    };
    QObject::connect(&information, &BoardInformation::IdentityChanged,
                     [&](BoardIdentity::Field field, const BoardIdentity& identity) {
                         if (field == BoardIdentity::ChipId && !identity[field].isEmpty())
                             check(ReadChipIdCommand(), identity[field]);
                         if (field == BoardIdentity::Firmware && !identity[field].isEmpty())
                             check(ReadFirmwareCommand(), identity[field]);
                     });
    QObject::connect(&information, &BoardInformation::CommandTableEntryRead,
                     [&](int index, const QString& entry) {
                         entries << entry;
                         check(ReadCommandTableCommand(CommandTableCodes[index]), entry);
                     });
    information.ReadBoardInfo();
    if (exit == ExitNoAnswer)
        return exit;
    const BoardIdentity& identity = information.Identity();

    if (!c.parser.isSet(QStringLiteral("json"))) {
        c.io.Line(QStringLiteral("chip      %1  %2  %3")
                      .arg(identity[BoardIdentity::ChipId], identity[BoardIdentity::Part],
                           identity[BoardIdentity::Revision]));
        c.io.Line(QStringLiteral("firmware  %1").arg(identity[BoardIdentity::Firmware]));
        for (int i = 0; i < entries.size(); ++i)
            c.io.Line(QStringLiteral("command %1  %2")
                          .arg(QLatin1String(CommandTableCodes[i]), entries[i]));
        return exit;
    }
    QJsonArray table;
    for (int i = 0; i < entries.size(); ++i)
        table.append(QJsonObject{{QStringLiteral("code"), QLatin1String(CommandTableCodes[i])},
                                 {QStringLiteral("entry"), entries[i]}});
    c.io.Json(QJsonObject{
        {QStringLiteral("chip"),
         QJsonObject{{QStringLiteral("identifier"), identity[BoardIdentity::ChipId]},
                     {QStringLiteral("part"), identity[BoardIdentity::Part]},
                     {QStringLiteral("revision"), identity[BoardIdentity::Revision]}}},
        {QStringLiteral("firmware"), identity[BoardIdentity::Firmware]},
        {QStringLiteral("commandTable"), table}});
    return exit;
}
