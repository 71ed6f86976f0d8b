#include "app/CommandLine.h"

#include <QCommandLineParser>

CommandLineOptions ParseCommandLine(const QStringList& arguments, const QString& deviceEnv)
{
    CommandLineOptions options;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Desktop tool for the Q815 camera evaluation board: pictures from the camera, board "
        "information, a command console and a browser for stored taxi camera pictures."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOptions({help, version});
    parser.addOptions(BoardOptions());
    // No application object exists yet to give the program name.
    options.helpText =
        parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("q815evm"));

    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.error = QStringLiteral("Unexpected argument '%1'.")
                            .arg(parser.positionalArguments().constFirst());
        return options;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.error = ReadBoardOptions(parser, deviceEnv, options.board);
    return options;
}
