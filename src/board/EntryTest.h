#pragma once
// Checks of what the user types into the console.
#include <QString>
#include <cstdint>

// The command entry must begin with sixteen upper-case hexadecimal digits.
// Returns the first position (1 to 16) that fails, or 0 when all pass.
int FirstFailingEntryPosition(const QString& text);

// Lets Enter, Backspace and the digits 0 to 9 through; any other key code
// becomes 0, in the argument as well as in the result.
std::int16_t NumKeyFilter(std::int16_t& KeyAscii);
