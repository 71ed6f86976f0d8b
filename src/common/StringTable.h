#pragma once
// The program's string table: user texts looked up by number, StringBase + offset.
#include <QString>
#include <cstdint>

// Base of the string table numbers, set by Main.
extern std::int16_t StringBase;

// The text with this number, or an empty text when the table has none.
QString LoadResString(int number);
