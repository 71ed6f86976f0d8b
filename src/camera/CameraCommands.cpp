#include "camera/CameraCommands.h"

std::optional<QString> PictureSizeCommand(int Index)
{
    if (Index >= 0 && Index < 9)
        return QStringLiteral("C:03") + QString::number(Index + 1).right(1);
    if (Index == 9)
        return QStringLiteral("C:03A");
    if (Index == 10)
        return QStringLiteral("C:03B");
    return std::nullopt;
}

QString UartSpeedCommand(int ListIndex)
{
    const QString sign = ListIndex < 0 ? QStringLiteral("-") : QStringLiteral(" ");
    return QStringLiteral("C:10") + sign + QString::number(qAbs(ListIndex));
}
