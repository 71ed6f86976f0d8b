#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

bool ParseDeviceIds(const QString& text, std::uint16_t& vendorId, std::uint16_t& productId)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9A-Fa-f]{1,4}):([0-9A-Fa-f]{1,4})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    vendorId = std::uint16_t(match.captured(1).toUInt(nullptr, 16));
    productId = std::uint16_t(match.captured(2).toUInt(nullptr, 16));
    return true;
}

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
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Talk to the built-in virtual board instead of a real one."));
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("USB ids of the board, hexadecimal (default %1; also taken from "
                       "the environment variable Q815EVM_DEVICE).")
            .arg(QLatin1String(DefaultDeviceIds)),
        QStringLiteral("VID:PID"));
    parser.addOptions({help, version, simulate, device});
    // No application object exists yet to give the program name.
    options.helpText = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("q815evm"));

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
    options.simulate = parser.isSet(simulate);

    QString ids = QLatin1String(DefaultDeviceIds);
    if (parser.isSet(device)) {
        ids = parser.value(device);
        options.deviceGiven = true;
    } else if (!deviceEnv.isEmpty()) {
        ids = deviceEnv;
        options.deviceGiven = true;
    }
    if (!ParseDeviceIds(ids, options.vendorId, options.productId)) {
        options.error = QStringLiteral("Bad device ids '%1': expected VID:PID in hexadecimal, "
                                       "for example %2.")
                            .arg(ids, QLatin1String(DefaultDeviceIds));
    }
    return options;
}
