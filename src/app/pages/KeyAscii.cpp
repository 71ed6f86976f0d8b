#include "app/pages/KeyAscii.h"

#include "board/TestConsole.h"

#include <QKeyEvent>
#include <QLineEdit>

std::int16_t KeyAsciiIn(const QLineEdit* box, const QObject* watched, const QEvent* event)
{
    if (watched != box || event->type() != QEvent::KeyPress)
        return -1;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return KeyPressCode(key->key(), key->text());
}
