#pragma once
// Fills a text box as the program does: it shows the beginning of the text,
// also when the box is narrower than the text (QLineEdit would show its end).
#include <QLineEdit>

inline void ShowFromStart(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
}
