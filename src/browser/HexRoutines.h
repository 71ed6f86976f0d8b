#pragma once
// Small hexadecimal readers for texts that hold hex digits (lengths, codes).
// They never fail: a character that is not a hex digit reads as 0.
#include <QString>

// The value 0..15 of the first character of `SrcVal` as a hex digit, upper
// and lower case alike. An empty text reads as a space, i.e. 0. Only the ASCII
// digits and letters a-f/A-F count; every other character, non-ASCII look-alikes
// such as a full-width "Ａ" included, gives 0.
int HexStrToDec(const QString& SrcVal);

// Characters 1 to 4 of `SrcVal` as a 16-bit hex number, character 1 most
// significant: 0..65535, never negative ("FFFF" is 65535). A missing or non-hex
// character counts as digit 0; characters after the fourth are ignored.
int WrdStrToDec(const QString& SrcVal);
