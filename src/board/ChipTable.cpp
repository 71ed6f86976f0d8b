#include "board/ChipTable.h"

const std::array<ChipRow, 15>& ChipTable()
{
    // Row 5 begins "270C" while rows 6 and 7 of the same part begin "270A", and
    // row 14's part name reads "AT9SAM7S161": the table is kept as the board
    // firmware's documentation gives it.
    static const std::array<ChipRow, 15> table = {{
        {"270B0A40", "AT91SAM7S512", "Rev A/B"},
        {"270B0940", "AT91SAM7S256", "Rev A"},
        {"270B0941", "AT91SAM7S256", "Rev B"},
        {"270B0942", "AT91SAM7S256", "Rev C"},
        {"270C0740", "AT91SAM7S128", "Rev A"},
        {"270A0741", "AT91SAM7S128", "Rev B"},
        {"270A0742", "AT91SAM7S128", "Rev C"},
        {"27090540", "AT91SAM7S64", "Rev A"},
        {"27090543", "AT91SAM7S64", "Rev B"},
        {"27090544", "AT91SAM7S64", "Rev C"},
        {"27080342", "AT91SAM7S321", "Rev A"},
        {"27080340", "AT91SAM7S32", "Rev A"},
        {"27080341", "AT91SAM7S32", "Rev B"},
        {"27050241", "AT9SAM7S161", "Rev A"},
        {"27050240", "AT91SAM7S16", "Rev A"},
    }};
    return table;
}

ChipInfo DecodeChipIdentifier(const QString& identifier)
{
    ChipInfo info;
    for (const ChipRow& row : ChipTable()) {
        if (identifier == QLatin1String(row.identifier)) {
            info.partName = QString::fromLatin1(row.partName);
            info.revision = QString::fromLatin1(row.revision);
        }
    }
    return info;
}
