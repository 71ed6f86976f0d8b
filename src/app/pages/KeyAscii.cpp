#include "app/pages/KeyAscii.h"

#include <QKeyEvent>
#include <QLineEdit>

std::int16_t KeyAsciiIn(const QLineEdit* box, const QObject* watched, const QEvent* event)
{
    if (watched != box || event->type() != QEvent::KeyPress)
        return -1;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return KeyPressCode(key->key(), key->text());
}

std::int16_t KeyPressCode(int key, const QString& text)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return EnterKeyAscii;
    if (key == Qt::Key_Backspace)
        return 8;
    if (text.isEmpty())
        return -1;
    return std::int16_t(text.at(0).unicode());
}
