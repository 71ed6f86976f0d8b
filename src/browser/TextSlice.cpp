#include "browser/TextSlice.h"

namespace {

// Index of the UTF-16 unit that starts the character after the one at `at`.
qsizetype NextCharacter(const QString& text, qsizetype at)
{
    if (text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        return at + 2;
    return at + 1;
}

} // namespace

QString SliceCharacters(const QString& text, int first, int count)
{
    if (first < 1 || count <= 0)
        return {};

    qsizetype begin = 0;
    for (int skip = first - 1; skip > 0 && begin < text.size(); --skip)
        begin = NextCharacter(text, begin);
    if (begin >= text.size())
        return {};

    qsizetype end = begin;
    for (int take = count; take > 0 && end < text.size(); --take)
        end = NextCharacter(text, end);
    return text.sliced(begin, end - begin);
}
