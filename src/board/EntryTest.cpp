#include "board/EntryTest.h"

int FirstFailingEntryPosition(const QString& text)
{
    for (int position = 1; position <= 16; ++position) {
        if (position > text.size())
            return position;
        const char16_t c = text.at(position - 1).unicode();
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
        if (!hex)
            return position;
    }
    return 0;
}

std::int16_t NumKeyFilter(std::int16_t& KeyAscii)
{
    const bool passes = KeyAscii == 13 || KeyAscii == 8 || (KeyAscii >= '0' && KeyAscii <= '9');
    if (!passes)
        KeyAscii = 0;
    return KeyAscii;
}
