#pragma once
// Outputwindow: the console of everything the board sends. Text is appended at
// the end, never re-set whole, so an append costs the same in a full console as
// in an empty one.
//
// A board that talks fast sends thousands of chunks a second; inserting and
// painting each one would let the console fall behind the pipe. Appended text is
// therefore collected and inserted at most once per screen frame, with one
// insertion and one repaint. Code that reads the text calls Flush() first.
#include <QPlainTextEdit>
#include <QTimer>

class ConsoleView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ConsoleView(QWidget* parent = nullptr);
    // Appends text and a line end; shown with the next frame.
    void AppendChunk(const QString& text);
    // Empties the console, text not yet shown included.
    void Empty();
    // Inserts the text collected since the last frame now.
    void Flush();

private:
    QString pending_;
    QTimer frame_;
};
