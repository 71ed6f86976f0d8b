#pragma once
// The boxes of the console act on the character code of each key typed in
// them (Enter is 13), as the board's tools always have.
#include <cstdint>

// The character code of Enter.
inline constexpr std::int16_t EnterKeyAscii = 13;

class QEvent;
class QLineEdit;
class QObject;
class QString;

// The character code of a key pressed in `box`; -1 when `event` is no key
// press on `box`, or the key types nothing (arrows, shift ...).
std::int16_t KeyAsciiIn(const QLineEdit* box, const QObject* watched, const QEvent* event);
// The character code of a key: Enter is 13, Backspace 8, a key that types
// nothing (arrows, shift ...) -1.
std::int16_t KeyPressCode(int key, const QString& text);
