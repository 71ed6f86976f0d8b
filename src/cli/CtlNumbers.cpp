#include "cli/CtlNumbers.h"

#include <cmath>

namespace {

QString Range(const QString& option, double least, double most)
{
    return QStringLiteral("--%1 takes a number from %2 to %3.")
        .arg(option, QString::number(least, 'g', 10), QString::number(most, 'g', 10));
}

} // namespace

QString ReadNumber(const QCommandLineParser& parser, const QString& option, double least,
                   double most, double& value)
{
    if (!parser.isSet(option))
        return {};
    bool ok = false;
    const double number = parser.value(option).toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < least || number > most)
        return Range(option, least, most);
    value = number;
    return {};
}

QString ReadWhole(const QCommandLineParser& parser, const QString& option, int least, int most,
                  int& value)
{
    if (!parser.isSet(option))
        return {};
    bool ok = false;
    const int number = parser.value(option).toInt(&ok);
    if (!ok || number < least || number > most)
        return Range(option, least, most);
    value = number;
    return {};
}
