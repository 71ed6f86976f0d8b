#pragma once
// The AT91SAM7S chip identifiers that the board reports to "C:20", with the part
// name and silicon revision each one stands for.
#include <QString>
#include <array>

struct ChipRow {
    const char* identifier; // chip identification register, upper-case hex
    const char* partName;
    const char* revision;
};

// The fifteen rows, in the order they are tested.
const std::array<ChipRow, 15>& ChipTable();

struct ChipInfo {
    QString partName = QStringLiteral("UNKNOWN");
    QString revision = QStringLiteral("Rev X");
};

// Exact, case-sensitive comparison of the whole text with each row.
ChipInfo DecodeChipIdentifier(const QString& identifier);
