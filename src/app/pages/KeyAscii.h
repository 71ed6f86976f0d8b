#pragma once
// The boxes of the console act on the character code of each key typed in
// them (Enter is 13), as the board's tools always have.
#include <cstdint>

class QEvent;
class QLineEdit;
class QObject;

// The character code of a key pressed in `box`; -1 when `event` is no key
// press on `box`, or the key types nothing (arrows, shift ...).
std::int16_t KeyAsciiIn(const QLineEdit* box, const QObject* watched, const QEvent* event);
