#pragma once
// A progress bar on one line of a terminal, redrawn in place; gone when done.
#include <QIODevice>
#include <QString>

class ProgressBar {
public:
    ProgressBar(QIODevice& terminal, const QString& title) : terminal_(terminal), title_(title) {}
    ~ProgressBar() { Clear(); }
    void Show(int value, int maximum);
    void Clear();

private:
    QIODevice& terminal_;
    QString title_;
    bool shown_ = false;
};
