#pragma once
// Outputwindow: the console of everything the board sends. Text is appended at
// the end, never re-set whole, so an append costs the same in a full console as
// in an empty one.
#include <QPlainTextEdit>

class ConsoleView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ConsoleView(QWidget* parent = nullptr);
    // Appends text and a line end.
    void AppendChunk(const QString& text);
    void Empty();
};
