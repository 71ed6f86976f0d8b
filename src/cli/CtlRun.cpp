#include "cli/CtlRun.h"

namespace {

const QString Program = QStringLiteral("q815ctl");

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

QString MainHelp(const QCommandLineParser& parser)
{
    QString text = HelpText(parser, QStringLiteral("q815ctl [options] COMMAND [arguments]"));
    text += QStringLiteral("\nCommands (q815ctl COMMAND --help tells more):\n");
    for (const CtlCommand& command : CtlCommands())
        text += QStringLiteral("  %1  %2\n").arg(QLatin1String(command.name), -8)
                    .arg(QLatin1String(command.summary));
    text += QStringLiteral(
        "\nExit status: 0 done; 1 the board answered with a failure, a picture is bad or a "
        "file cannot be written; 2 bad usage; 3 no board, or it cannot be opened; 4 the "
        "board did not answer in time.\n");
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

} // namespace

CtlInvocation ParseCtl(const QStringList& arguments, const QString& deviceEnv, CtlIo& io)
{
    CtlInvocation invocation;
    // First the options before the sub-command's name: any command's options
    // may stand there; the second pass refuses those the command does not take.
    QCommandLineParser first;
    first.setApplicationDescription(QStringLiteral(
        "The Q815 camera evaluation board from a shell: boards, board information, commands, "
        "pictures, camera settings and the board's console."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    first.addOptions({HelpOption(), version});
    first.addOptions(BoardOptions());
    first.addOptions(AllCommandOptions());
    first.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("What to do."));
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!first.parse(arguments)) {
        invocation.exit = io.Usage(first.errorText());
        return invocation;
    }
    if (first.isSet(QStringLiteral("help"))) {
        io.Out().write(MainHelp(first).toUtf8());
        invocation.exit = ExitDone;
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
    parser.setApplicationDescription(QStringLiteral("q815ctl %1: %2.")
                                         .arg(name, QLatin1String(invocation.command->summary)));
    parser.addOption(HelpOption());
    parser.addOptions(BoardOptions());
    parser.addOptions(invocation.command->options());
    const QString words = QLatin1String(invocation.command->arguments);
    if (!words.isEmpty())
        parser.addPositionalArgument(words, QString());
    const QStringList before = arguments.mid(1, arguments.size() - 1 - rest.size());
    if (!parser.parse(QStringList{Program} + before + rest.mid(1))) {
        invocation.exit = io.Usage(parser.errorText(), name);
        return invocation;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        const QString usage = QStringLiteral("q815ctl %1 [options] %2").arg(name, words);
        io.Out().write(HelpText(parser, usage.trimmed()).toUtf8());
        invocation.exit = ExitDone;
        return invocation;
    }
    invocation.arguments = parser.positionalArguments();
    if (words.isEmpty() && !invocation.arguments.isEmpty()) {
        invocation.exit = io.Usage(
            QStringLiteral("Unexpected argument '%1'.").arg(invocation.arguments.constFirst()), name);
        return invocation;
    }
    if (const QString error = ReadBoardOptions(parser, deviceEnv, invocation.selection);
        !error.isEmpty())
        invocation.exit = io.Usage(error, name);
    return invocation;
}

int RunCtl(CtlInvocation& invocation, CtlIo& io, usb::UsbBackend& backend)
{
    if (invocation.exit >= 0)
        return invocation.exit;
    CtlContext context{io, *invocation.parser, invocation.arguments, invocation.selection,
                       backend};
    return invocation.command->run(context);
}
