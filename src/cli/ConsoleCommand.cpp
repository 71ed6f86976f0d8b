// q815ctl console: everything the board sends, line by line as it comes, until
// Ctrl-C or the given time is up.
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"
#include "cli/Interrupt.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace {

const QString Send = QStringLiteral("send");
const QString Timestamps = QStringLiteral("timestamps");
const QString For = QStringLiteral("for");
const QString Log = QStringLiteral("log");

// The time of day with milliseconds and the offset from UTC (ISO 8601).
QString Stamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

} // namespace

QList<QCommandLineOption> ConsoleOptions()
{
    return {
        {Send, QStringLiteral("Send this command first (repeat the option for more)."),
         QStringLiteral("CMD")},
        {Timestamps, QStringLiteral("Begin each line with the time it came (ISO 8601, "
                                    "milliseconds).")},
        {For, QStringLiteral("Stop after this many seconds instead of at Ctrl-C."),
         QStringLiteral("S")},
        {Log, QStringLiteral("Append the lines to this file too."), QStringLiteral("FILE")},
    };
}

int RunConsole(CtlContext& c)
{
    double seconds = -1;
    if (c.parser.isSet(For)) {
        bool ok = false;
        seconds = c.parser.value(For).toDouble(&ok);
        if (!ok || seconds < 0)
            return c.io.Usage(QStringLiteral("--for takes a number of seconds."),
                              QStringLiteral("console"));
    }
    for (const QString& command : c.parser.values(Send)) {
        if (const QString problem = BoardCommandProblem(command); !problem.isEmpty())
            return c.io.Usage(problem, QStringLiteral("console"));
    }
    QFile log(c.parser.value(Log));
    if (c.parser.isSet(Log) && !log.open(QIODevice::Append | QIODevice::Text)) {
        c.io.Message(QStringLiteral("cannot write %1: %2").arg(log.fileName(), log.errorString()));
        return ExitFailed;
    }
    CtlBoard board(c.backend, c.io, c.selection);
    if (const int opened = board.Open())
        return opened;

    const bool stamped = c.parser.isSet(Timestamps);
    // One chunk from the board may hold several lines; each is stamped with
    // the time the chunk came.
    QObject::connect(&board.Link(), &BoardLink::ConsoleAppended, [&](const QString& text) {
        const QString stamp = stamped ? Stamp() + QLatin1Char(' ') : QString();
        QByteArray lines;
        for (QString line : text.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            lines += (stamp + line).toUtf8() + '\n';
        }
        c.io.Out().write(lines);
        if (log.isOpen()) {
            log.write(lines);
            log.flush();
        }
    });
    QObject::connect(&board.Link(), &BoardLink::StatusBoxChanged, [&](int state) {
        c.io.Message(state == 1 ? QStringLiteral("the board is linked")
                                : QStringLiteral("the board was unplugged; waiting for it"));
    });
    for (const QString& command : c.parser.values(Send)) {
        if (const CtlBoard::Reply reply = board.Exchange(command); reply.exit == ExitNoBoard)
            return reply.exit;
    }
    QEventLoop loop;
    const Interrupt interrupt([&loop] { loop.quit(); });
    if (seconds >= 0)
        QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return ExitDone;
}
