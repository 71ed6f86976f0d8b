#include "cli/ProgressBar.h"

namespace {
constexpr int Width = 30;
}

void ProgressBar::Show(int value, int maximum)
{
    const int filled = maximum > 0 ? Width * qBound(0, value, maximum) / maximum : 0;
    const QString bar =
        QString(filled, QLatin1Char('#')) + QString(Width - filled, QLatin1Char('.'));
    terminal_.write(
        QStringLiteral("\r%1 [%2] %3/%4").arg(title_, bar).arg(value).arg(maximum).toUtf8());
    shown_ = true;
}

void ProgressBar::Clear()
{
    if (shown_)
        terminal_.write("\r\033[K"); // back to the start, erase the line
    shown_ = false;
}
