#pragma once
// The board's command table: twelve entries, each named by a two-character code.
// The code gives the command that reads the entry ("C:06" + code), its box
// ("TxtCMD" + code) and its label ("cmd" + code in lower case, caption
// "COMMAND " + code).
#include <QString>
#include <array>

inline constexpr std::array<const char*, 12> CommandTableCodes = {
    "01", "04", "05", "06", "08", "09", "0C", "0D", "0E", "10", "18", "23"};

inline QString CommandTableReadCommand(const char* code)
{
    return QStringLiteral("C:06") + QLatin1String(code);
}
inline QString CommandTableBoxName(const char* code)
{
    return QStringLiteral("TxtCMD") + QLatin1String(code);
}
inline QString CommandTableLabelName(const char* code)
{
    return QStringLiteral("cmd") + QString::fromLatin1(code).toLower();
}
