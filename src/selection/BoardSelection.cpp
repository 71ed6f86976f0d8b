#include "selection/BoardSelection.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {
const QString Simulate = QStringLiteral("simulate");
const QString Device = QStringLiteral("device");
const QString Port = QStringLiteral("port");
const QString Serial = QStringLiteral("serial");
} // namespace

QString IdsText(std::uint16_t vendorId, std::uint16_t productId)
{
    return QStringLiteral("%1:%2")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'));
}

QString BoardSelection::IdsText() const
{
    return ::IdsText(vendorId, productId);
}

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

QList<QCommandLineOption> BoardOptions()
{
    return {
        QCommandLineOption(Simulate, QStringLiteral("Talk to the built-in virtual board instead "
                                                    "of a real one.")),
        QCommandLineOption(Device,
                           QStringLiteral("USB ids of the board, hexadecimal (default %1; also "
                                          "taken from the environment variable "
                                          "Q815EVM_DEVICE).")
                               .arg(QLatin1String(DefaultDeviceIds)),
                           QStringLiteral("VID:PID")),
        QCommandLineOption(Port,
                           QStringLiteral("The board plugged in at this USB port path, bus "
                                          "number, dash, port numbers joined by dots (for "
                                          "example 1-4.2), when several boards have the same "
                                          "ids."),
                           QStringLiteral("BUS-PORTS")),
        QCommandLineOption(Serial,
                           QStringLiteral("The board with this serial number, as 'q815ctl list' "
                                          "shows it; unlike the port path it stays the same "
                                          "when the cable moves."),
                           QStringLiteral("TEXT")),
    };
}

QString ReadBoardOptions(const QCommandLineParser& parser, const QString& deviceEnv,
                         BoardSelection& selection)
{
    selection.simulate = parser.isSet(Simulate);
    QString ids = QLatin1String(DefaultDeviceIds);
    if (parser.isSet(Device)) {
        ids = parser.value(Device);
    } else if (!deviceEnv.isEmpty()) {
        ids = deviceEnv;
    }
    if (!ParseDeviceIds(ids, selection.vendorId, selection.productId)) {
        return QStringLiteral("Bad device ids '%1': expected VID:PID in hexadecimal, for "
                              "example %2.")
            .arg(ids, QLatin1String(DefaultDeviceIds));
    }
    if (parser.isSet(Port)) {
        const std::optional<usb::PortPath> port = usb::ParsePortPath(parser.value(Port));
        if (!port) {
            return QStringLiteral("Bad port path '%1': expected the bus number, a dash and the "
                                  "port numbers joined by dots, for example 1-4.2.")
                .arg(parser.value(Port));
        }
        if (selection.simulate)
            return QStringLiteral("--port picks a real board; the virtual board of --simulate "
                                  "has none.");
        selection.port = *port;
    }
    selection.serial = parser.value(Serial);
    if (parser.isSet(Serial) && selection.serial.isEmpty())
        return QStringLiteral("--serial needs the board's serial number, as 'q815ctl list' "
                              "shows it.");
    return {};
}
