#include "browser/TriggerType.h"

#include "common/StringTable.h"

#include <array>

namespace {

// One row per trigger code 0..9. A row either names a string-table entry
// (StringBase + offset) or carries its text itself.
struct TriggerText {
    int stringOffset; // 0: use `fixed`
    const char16_t* fixed;
};

constexpr std::array<TriggerText, 10> TriggerTable{{
    {130, nullptr},       // 0
    {0, u"Door Open"},    // 1
    {132, nullptr},       // 2
    {133, nullptr},       // 3
    {134, nullptr},       // 4
    {0, u"Multi-USB"},    // 5
    {0, u"Door Close"},   // 6
    {0, u"Serial"},       // 7
    {0, u"Toplight ON"},  // 8
    {0, u"Toplight OFF"}, // 9
}};

// String-table offset of the text for every code outside the table.
constexpr int UnknownTriggerOffset = 138;

} // namespace

QString TriggerType(std::int16_t Trig)
{
    if (Trig < 0 || Trig >= static_cast<std::int16_t>(TriggerTable.size()))
        return LoadResString(StringBase + UnknownTriggerOffset);
    const TriggerText& row = TriggerTable[static_cast<std::size_t>(Trig)];
    if (row.fixed)
        return QString::fromUtf16(row.fixed);
    return LoadResString(StringBase + row.stringOffset);
}
