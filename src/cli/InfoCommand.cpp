// q815ctl info: the board's identity and command table, read as the
// "Information" page reads them.
#include "board/BoardInformation.h"
#include "board/ChipTable.h"
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"
#include "link/BoardProtocol.h"

#include <QJsonArray>
#include <QJsonObject>

QList<QCommandLineOption> InfoOptions()
{
    return {JsonOption()};
}

int RunInfo(CtlContext& c)
{
    CtlBoard board(c);
    if (const int opened = board.Open())
        return opened;
    // The chip identifier, the firmware version, then the twelve entries; a
    // board that is gone or fell silent is not asked thirteen more times.
    QStringList commands{ReadChipIdCommand(), ReadFirmwareCommand()};
    for (const char* code : CommandTableCodes)
        commands << ReadCommandTableCommand(code);
    QStringList replies;
    int exit = ExitDone;
    for (const QString& command : std::as_const(commands)) {
        const CtlBoard::Reply reply = board.Exchange(command);
        // Gone, silent or interrupted: nothing more would get through.
        if (reply.exit == ExitNoBoard || reply.exit >= ExitNoAnswer)
            return reply.exit;
        if (exit == ExitDone)
            exit = reply.exit;
        replies << reply.text;
    }
    const ChipInfo chip = DecodeChipIdentifier(replies[0]);
    const QStringList entries = replies.mid(2);
    BoardIdentity identity;
    identity.text = {replies[0], chip.partName, chip.revision, replies[1]};

    if (!c.json) {
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
    c.document =
        QJsonObject{{QStringLiteral("chip"),
                     QJsonObject{{QStringLiteral("identifier"), identity[BoardIdentity::ChipId]},
                                 {QStringLiteral("part"), identity[BoardIdentity::Part]},
                                 {QStringLiteral("revision"), identity[BoardIdentity::Revision]}}},
                    {QStringLiteral("firmware"), identity[BoardIdentity::Firmware]},
                    {QStringLiteral("commandTable"), table}};
    return exit;
}
