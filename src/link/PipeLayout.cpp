#include "link/PipeLayout.h"

using namespace endpoints;

QString PipeLayoutName(const QList<std::uint8_t>& addresses)
{
    if (addresses.contains(DownloadOut))
        return QStringLiteral("download");
    if (addresses.contains(CommandOutFull))
        return QStringLiteral("full");
    if (addresses.contains(CommandOutOnly) && addresses.contains(CommandIn))
        return QStringLiteral("command");
    if (addresses.contains(CommandOutOnly) && addresses.contains(CommandInAlt))
        return QStringLiteral("command-129");
    return QStringLiteral("none");
}
