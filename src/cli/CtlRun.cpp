#include "cli/CtlRun.h"

#include "cli/CtlNumbers.h"
#include "cli/Interrupt.h"

namespace {

const QString Program = QStringLiteral("q815ctl");
const QString Quiet = QStringLiteral("quiet");
const QString Verbose = QStringLiteral("verbose");
const QString Timeout = QStringLiteral("timeout");
const QString Json = QStringLiteral("json");
constexpr int LongestTimeoutMs = 600'000;

// What every sub-command takes beside the board options.
QList<QCommandLineOption> RunOptions()
{
    return {
        {{QStringLiteral("q"), Quiet}, QStringLiteral("No progress bar and no summary lines.")},
        {Verbose, QStringLiteral("Each exchange on standard error: time, milliseconds, command "
                                 "and reply.")},
        {Timeout,
         QStringLiteral("How long the board may take to answer one command (1 to "
                        "600000 ms; default 3000)."),
         QStringLiteral("MS")},
    };
}

bool TakesJson(const CtlCommand& command)
{
    for (const QCommandLineOption& option : command.options()) {
        if (option.names().contains(Json))
            return true;
    }
    return false;
}

QCommandLineOption HelpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Show this help and exit."));
}

// The parser's help with q815ctl's own usage line.
QString HelpText(const QCommandLineParser& parser, const QString& usage)
{
    QString text = parser.helpText();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: %1").arg(usage) + text.mid(lineEnd);
}

// prefix and text broken into lines of at most 80 columns; lines after the
// first are indented by indent blanks.
QString Wrap(const QString& text, int indent, const QString& prefix = {})
{
    QString wrapped = prefix;
    qsizetype column = prefix.size();
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > 80) {
            wrapped += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > prefix.size()) {
            wrapped += QLatin1Char(' ');
            ++column;
        }
        wrapped += word;
        column += word.size();
    }
    return wrapped;
}

QString MainHelp(const QCommandLineParser& parser)
{
    QString text = HelpText(parser, QStringLiteral("q815ctl [options] COMMAND [arguments]"));
    text += QStringLiteral("\nCommands (q815ctl COMMAND --help tells more):\n");
    for (const CtlCommand& command : CtlCommands())
        text += Wrap(QLatin1String(command.summary), 12,
                     QStringLiteral("  %1  ").arg(QLatin1String(command.name), -8)) +
                QLatin1Char('\n');
    text +=
        QLatin1Char('\n') +
        Wrap(QStringLiteral(
                 "Exit status: 0 done; 1 the board answered with a failure, a picture is bad or a "
                 "file cannot be written; 2 bad usage; 3 no board, it cannot be opened, or several "
                 "and none chosen; 4 the board did not answer in time; 130 Ctrl-C, 143 SIGTERM."),
             0) +
        QLatin1Char('\n');
    return text;
}

// Every sub-command's options, each name once and hidden from the main help:
// the first pass must know which of them take a value to find the command's
// name behind them ("q815ctl -o x.jpg picture").
QList<QCommandLineOption> AllCommandOptions()
{
    QList<QCommandLineOption> all;
    QStringList names;
    for (const CtlCommand& command : CtlCommands()) {
        for (QCommandLineOption option : command.options()) {
            if (names.contains(option.names().constFirst()))
                continue;
            names << option.names().constFirst();
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            all << option;
        }
    }
    return all;
}

const CtlCommand* FindCommand(const QString& name)
{
    for (const CtlCommand& command : CtlCommands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

CtlInvocation Parse(const QStringList& arguments, const QString& deviceEnv, CtlIo& io)
{
    CtlInvocation invocation;
    // First the options before the sub-command's name: any command's options
    // may stand there; the second pass refuses those the command does not take.
    QCommandLineParser first;
    first.setApplicationDescription(Wrap(
        QStringLiteral(
            "The Q815 camera evaluation board from a shell: boards, board information, commands, "
            "pictures, camera settings and the board's console."),
        0));
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    first.addOptions({HelpOption(), version});
    first.addOptions(BoardOptions());
    first.addOptions(RunOptions());
    first.addOptions(AllCommandOptions());
    first.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("What to do."));
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!first.parse(arguments)) {
        invocation.exit = io.Usage(first.errorText());
        return invocation;
    }
    if (first.isSet(QStringLiteral("help"))) {
        io.Write(MainHelp(first).toUtf8());
        invocation.exit = io.OutFailed() ? ExitFailed : ExitDone;
        return invocation;
    }
    if (first.isSet(version)) {
        io.Line(QStringLiteral("q815ctl %1").arg(QLatin1String(Q815EVM_VERSION)));
        invocation.exit = ExitDone;
        return invocation;
    }
    const QStringList rest = first.positionalArguments();
    if (rest.isEmpty()) {
        invocation.exit = io.Usage(QStringLiteral("No command given."));
        return invocation;
    }
    invocation.command = FindCommand(rest.constFirst());
    if (invocation.command == nullptr) {
        invocation.exit = io.Usage(QStringLiteral("Unknown command '%1'.").arg(rest.constFirst()));
        return invocation;
    }

    // Then all of it again without the name, with the sub-command's options:
    // every option may come before or after the name.
    const QString name = QLatin1String(invocation.command->name);
    invocation.parser = std::make_unique<QCommandLineParser>();
    QCommandLineParser& parser = *invocation.parser;
    parser.setApplicationDescription(Wrap(
        QStringLiteral("q815ctl %1: %2.").arg(name, QLatin1String(invocation.command->summary)),
        0));
    parser.addOption(HelpOption());
    parser.addOptions(BoardOptions());
    parser.addOptions(RunOptions());
    parser.addOptions(invocation.command->options());
    const QString words = QLatin1String(invocation.command->arguments);
    if (!words.isEmpty())
        parser.addPositionalArgument(words, QLatin1String(invocation.command->argumentsHelp));
    const QStringList before = arguments.mid(1, arguments.size() - 1 - rest.size());
    if (!parser.parse(QStringList{Program} + before + rest.mid(1))) {
        invocation.exit = io.Usage(parser.errorText(), name);
        return invocation;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        const QString usage = QStringLiteral("q815ctl %1 [options] %2").arg(name, words);
        io.Write(HelpText(parser, usage.trimmed()).toUtf8());
        invocation.exit = io.OutFailed() ? ExitFailed : ExitDone;
        return invocation;
    }
    invocation.arguments = parser.positionalArguments();
    if (words.isEmpty() && !invocation.arguments.isEmpty()) {
        invocation.exit = io.Usage(
            QStringLiteral("Unexpected argument '%1'.").arg(invocation.arguments.constFirst()),
            name);
        return invocation;
    }
    QString error = ReadBoardOptions(parser, deviceEnv, invocation.selection);
    if (error.isEmpty())
        error = ReadWhole(parser, Timeout, 1, LongestTimeoutMs, invocation.replyLimitMs);
    if (!error.isEmpty())
        invocation.exit = io.Usage(error, name);
    return invocation;
}

} // namespace

CtlInvocation ParseCtl(const QStringList& arguments, const QString& deviceEnv, CtlIo& io)
{
    CtlInvocation invocation = Parse(arguments, deviceEnv, io);
    // A script that asked for JSON gets its document on bad usage too.
    const qsizetype end = arguments.indexOf(QStringLiteral("--"));
    if (invocation.exit == ExitUsage && arguments.mid(0, end).contains(QStringLiteral("--json")))
        io.Json(
            {{QStringLiteral("error"), io.FirstError()}, {QStringLiteral("interrupted"), false}});
    return invocation;
}

int RunCtl(CtlInvocation& invocation, CtlIo& io, usb::UsbBackend& backend)
{
    if (invocation.exit >= 0)
        return invocation.exit;
    const QCommandLineParser& parser = *invocation.parser;
    // One rule for Ctrl-C and SIGTERM: what runs ends at once, what was done is
    // reported, and the status is 128 + the signal.
    const Interrupt interrupt;
    CtlContext context{io,
                       parser,
                       invocation.arguments,
                       invocation.selection,
                       backend,
                       invocation.replyLimitMs,
                       parser.isSet(Verbose),
                       TakesJson(*invocation.command) && parser.isSet(Json),
                       false,
                       {}};
    io.SetQuiet(parser.isSet(Quiet));
    int exit = invocation.command->run(context);
    if (const int signal = Interrupt::Signal()) {
        exit = io.Fail(CtlError::Interrupted,
                       QStringLiteral("interrupted by %1").arg(Interrupt::SignalName()), signal);
    }
    if (context.json) {
        QJsonObject document = context.document;
        if (!io.FirstError().isEmpty())
            document[QStringLiteral("error")] = io.FirstError();
        document[QStringLiteral("interrupted")] = Interrupt::Signal() != 0;
        if (!context.jsonLines)
            io.Json(document);
        else if (document.contains(QStringLiteral("error")))
            io.Json(document, true);
    }
    return exit == ExitDone && io.OutFailed() ? ExitFailed : exit;
}
