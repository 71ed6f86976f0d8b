// q815ctl send: commands as the "Test" page's command line sends them, each
// reply on a line of its own.
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"
#include "link/BoardProtocol.h"

#include <QJsonArray>
#include <QJsonObject>

QString BoardCommandProblem(const QString& command)
{
    if (IsBoardCommand(command) && FitsCommandBlock(command))
        return {};
    return QStringLiteral("'%1' is no board command: it begins with C: and has at most 128 "
                          "characters.")
        .arg(command);
}

QList<QCommandLineOption> SendOptions()
{
    return {JsonOption()};
}

int RunSend(CtlContext& c)
{
    if (c.arguments.isEmpty())
        return c.io.Usage(QStringLiteral("No command to send."), QStringLiteral("send"));
    for (const QString& command : std::as_const(c.arguments)) {
        if (const QString problem = BoardCommandProblem(command); !problem.isEmpty())
            return c.io.Usage(problem, QStringLiteral("send"));
    }
    c.document[QStringLiteral("replies")] = QJsonArray();
    CtlBoard board(c);
    if (const int opened = board.Open())
        return opened;
    QJsonArray replies;
    int exit = ExitDone;
    for (const QString& command : std::as_const(c.arguments)) {
        const CtlBoard::Reply reply = board.Exchange(command);
        if (reply.exit != ExitDone && reply.exit != ExitFailed)
            return reply.exit; // nothing more would get through
        if (exit == ExitDone)
            exit = reply.exit;
        if (!c.json) {
            c.io.Line(reply.text);
            continue;
        }
        replies.append(QJsonObject{{QStringLiteral("command"), command},
                                   {QStringLiteral("reply"), reply.text},
                                   {QStringLiteral("ok"), reply.exit == ExitDone}});
        c.document[QStringLiteral("replies")] = replies;
    }
    return exit;
}
