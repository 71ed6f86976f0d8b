#include "link/PipeLayout.h"

#include <algorithm>

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

bool IsBoardLayout(const QList<std::uint8_t>& addresses)
{
    QList<std::uint8_t> sorted = addresses;
    std::sort(sorted.begin(), sorted.end());
    using Layout = QList<std::uint8_t>;
    for (const Layout& layout :
         {Layout{DownloadOut}, Layout{CommandOutFull, FileOut, CommandIn, FileIn},
          Layout{CommandOutOnly, CommandIn}, Layout{CommandOutOnly, CommandInAlt}}) {
        if (sorted == layout)
            return true;
    }
    return false;
}
