// q815ctl console: everything the board sends, line by line as it comes, until
// Ctrl-C or the given time is up.
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"
#include "cli/CtlNumbers.h"
#include "cli/Interrupt.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QJsonObject>
#include <QTimer>

namespace {

const QString Send = QStringLiteral("send");
const QString Timestamps = QStringLiteral("timestamps");
const QString For = QStringLiteral("for");
const QString Log = QStringLiteral("log");
constexpr double LongestRun = 1'000'000; // seconds: 11.5 days, within what a timer holds

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
        {For, QStringLiteral("Stop after S seconds (0 to 1000000) instead of at Ctrl-C."),
         QStringLiteral("S")},
        {Log, QStringLiteral("Append the lines to this file too."), QStringLiteral("FILE")},
        {JsonOption().names(), QStringLiteral("One JSON object per line: {\"time\", \"text\"}; "
                                              "a last one with \"error\" on failure.")},
    };
}

int RunConsole(CtlContext& c)
{
    double seconds = -1;
    if (const QString problem = ReadNumber(c.parser, For, 0, LongestRun, seconds);
        !problem.isEmpty())
        return c.io.Usage(problem, QStringLiteral("console"));
    for (const QString& command : c.parser.values(Send)) {
        if (const QString problem = BoardCommandProblem(command); !problem.isEmpty())
            return c.io.Usage(problem, QStringLiteral("console"));
    }
    QFile log(c.parser.value(Log));
    if (c.parser.isSet(Log) &&
        !log.open(QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered))
        return c.io.Fail(
            CtlError::Write,
            QStringLiteral("cannot write %1: %2").arg(log.fileName(), log.errorString()));
    c.jsonLines = true;
    CtlBoard board(c);
    if (const int opened = board.Open())
        return opened;

    QEventLoop loop;
    int exit = ExitDone;
    const bool stamped = c.parser.isSet(Timestamps);
    // One chunk from the board may hold several lines; each is stamped with
    // the time the chunk came.
    QObject::connect(&board.Link(), &BoardLink::ConsoleAppended, [&](const QString& text) {
        const QString stamp = Stamp();
        QByteArray lines;
        for (QString line : text.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            lines += ((stamped ? stamp + QLatin1Char(' ') : QString()) + line).toUtf8() + '\n';
            if (c.json)
                c.io.Json({{QStringLiteral("time"), stamp}, {QStringLiteral("text"), line}}, true);
        }
        if (!c.json)
            c.io.Write(lines);
        if (log.isOpen() && log.write(lines) != lines.size()) {
            exit = c.io.Fail(
                CtlError::Write,
                QStringLiteral("cannot write %1: %2").arg(log.fileName(), log.errorString()));
            log.close();
        }
        if (c.io.OutFailed()) {
            exit = ExitFailed;
            loop.quit();
        }
    });
    QObject::connect(&board.Link(), &BoardLink::StatusBoxChanged, [&](int state) {
        c.io.Message(state == 1 ? QStringLiteral("the board is linked")
                                : QStringLiteral("the board was unplugged; waiting for it"));
    });
    for (const QString& command : c.parser.values(Send)) {
        const CtlBoard::Reply reply = board.Exchange(command);
        if (reply.exit != ExitDone && reply.exit != ExitFailed)
            return reply.exit;
        if (exit == ExitDone)
            exit = reply.exit;
    }
    if (const Interrupt* interrupt = Interrupt::Current())
        QObject::connect(interrupt, &Interrupt::Caught, &loop, &QEventLoop::quit);
    if (seconds >= 0)
        QTimer::singleShot(qint64(seconds * 1000), &loop, &QEventLoop::quit);
    if (!c.io.OutFailed() && Interrupt::Signal() == 0)
        loop.exec();
    if (const int interrupted = board.Interrupted())
        return interrupted;
    return c.io.OutFailed() ? ExitFailed : exit;
}
