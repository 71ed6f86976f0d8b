#include "link/usb/PortPath.h"

#include <QStringList>

namespace usb {

namespace {

constexpr qsizetype MaxHubDepth = 7;

std::optional<std::uint8_t> PortNumber(const QString& text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    // toUInt takes a sign or blanks; a port number is digits only.
    if (!ok || value < 1 || value > 255 || text.front() == QLatin1Char('+') ||
        text.trimmed() != text)
        return std::nullopt;
    return std::uint8_t(value);
}

} // namespace

QString PortPath::Text() const
{
    QStringList numbers;
    for (std::uint8_t port : ports)
        numbers << QString::number(port);
    return QStringLiteral("%1-%2").arg(bus).arg(numbers.join(QLatin1Char('.')));
}

std::optional<PortPath> ParsePortPath(const QString& text)
{
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    if (dash <= 0)
        return std::nullopt;
    const std::optional<std::uint8_t> bus = PortNumber(text.left(dash));
    const QStringList parts = text.mid(dash + 1).split(QLatin1Char('.'));
    if (!bus || parts.size() > MaxHubDepth)
        return std::nullopt;
    PortPath path{*bus, {}};
    for (const QString& part : parts) {
        const std::optional<std::uint8_t> port = PortNumber(part);
        if (!port)
            return std::nullopt;
        path.ports.append(*port);
    }
    return path;
}

} // namespace usb
