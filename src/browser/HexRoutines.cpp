#include "browser/HexRoutines.h"

#include "browser/TextSlice.h"
#include "common/HexDigit.h"

#include <algorithm>

int HexStrToDec(const QString& SrcVal)
{
    // Not a digit, or nothing at all, counts as 0.
    return SrcVal.isEmpty() ? 0 : std::max(0, HexDigitValue(SrcVal.front()));
}

int WrdStrToDec(const QString& SrcVal)
{
    int value = 0;
    for (int position = 1; position <= 4; ++position)
        value = value * 16 + HexStrToDec(SliceCharacters(SrcVal, position, 1));
    return value;
}
