#include "browser/HexRoutines.h"

#include "browser/TextSlice.h"

int HexStrToDec(const QString& SrcVal)
{
    const char16_t c = SrcVal.isEmpty() ? u' ' : SrcVal.front().unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return 0;
}

int WrdStrToDec(const QString& SrcVal)
{
    int value = 0;
    for (int position = 1; position <= 4; ++position)
        value = value * 16 + HexStrToDec(SliceCharacters(SrcVal, position, 1));
    return value;
}
