// q815ctl info: the board's identity and command table, read as the
// "Information" page reads them.
#include "board/BoardInformation.h"
#include "board/CommandTable.h"
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>

namespace {

// The command whose reply fills the box.
QString CommandOfBox(const QString& box)
{
    if (box == QLatin1String("TxtCPU_ID"))
        return QStringLiteral("C:20");
    if (box == QLatin1String("TxtSoftVer"))
        return QStringLiteral("C:21");
    return QStringLiteral("C:06") + box.mid(6); // TxtCMDxx
}

} // namespace

QList<QCommandLineOption> InfoOptions()
{
    return {JsonOption()};
}

int RunInfo(CtlContext& c)
{
    CtlBoard board(c);
    if (const int opened = board.Open())
        return opened;
    BoardInformation information(board.Link());
    QMap<QString, QString> boxes;
    int exit = ExitDone;
    QObject::connect(&information, &BoardInformation::BoxFilled,
                     [&](const QString& box, const QString& text) {
                         // The boxes of replies are filled right after their exchange.
                         const bool silent = board.TakeSilentWaits() > 0;
                         if (exit == ExitNoAnswer || exit > ExitNoAnswer)
                             return; // the link is shut down: nothing more came
                         if (const int interrupted = board.Interrupted()) {
                             exit = interrupted;
                             return;
                         }
                         boxes[box] = text;
                         const bool reply = box == QLatin1String("TxtCPU_ID")
                                            || box == QLatin1String("TxtSoftVer")
                                            || box.startsWith(QLatin1String("TxtCMD"));
                         const int status = reply ? ReplyExit(text, silent) : ExitDone;
                         if (status == ExitDone || (status == ExitNoBoard && exit == ExitNoBoard))
                             return;
                         board.Explain(CommandOfBox(box), {text, status});
                         if (exit == ExitDone)
                             exit = status;
                         // A board that fell silent is not asked thirteen more
                         // times for three seconds each.
                         if (status == ExitNoAnswer)
                             board.Link().Shutdown();
                     });
    information.ReadBoardInfo();
    if (exit == ExitNoAnswer || exit > ExitNoAnswer)
        return exit;

    if (!c.json) {
        c.io.Line(QStringLiteral("chip      %1  %2  %3")
                      .arg(boxes[QStringLiteral("TxtCPU_ID")], boxes[QStringLiteral("TxtCPU_Ver")],
                           boxes[QStringLiteral("TxtCPU_Rev")]));
        c.io.Line(QStringLiteral("firmware  %1").arg(boxes[QStringLiteral("TxtSoftVer")]));
        for (const char* code : CommandTableCodes)
            c.io.Line(QStringLiteral("command %1  %2")
                          .arg(QLatin1String(code), boxes[CommandTableBoxName(code)]));
        return exit;
    }
    QJsonArray table;
    for (const char* code : CommandTableCodes)
        table.append(QJsonObject{{QStringLiteral("code"), QLatin1String(code)},
                                 {QStringLiteral("entry"), boxes[CommandTableBoxName(code)]}});
    c.document = QJsonObject{
        {QStringLiteral("chip"),
         QJsonObject{{QStringLiteral("identifier"), boxes[QStringLiteral("TxtCPU_ID")]},
                     {QStringLiteral("part"), boxes[QStringLiteral("TxtCPU_Ver")]},
                     {QStringLiteral("revision"), boxes[QStringLiteral("TxtCPU_Rev")]}}},
        {QStringLiteral("firmware"), boxes[QStringLiteral("TxtSoftVer")]},
        {QStringLiteral("commandTable"), table}};
    return exit;
}
