#pragma once
// Taking characters out of a text by position, the way the browser reads
// stored picture names and the hex routines read their digits.
#include <QString>

// The characters of `text` from position `first` (counted from 1) onward, at
// most `count` of them. Empty when the text ends before `first`; the shorter
// rest when it ends inside the range. Nothing is trimmed or converted.
//
// A character is one Unicode code point: a surrogate pair (an emoji, a rare
// CJK ideograph in a folder of someone's pictures) counts once and is never
// split in two. A lone surrogate counts as one character and is copied as is.
QString SliceCharacters(const QString& text, int first, int count);
