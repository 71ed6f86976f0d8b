#include "app/ConsoleView.h"

#include <QScrollBar>
#include <QTextCursor>

ConsoleView::ConsoleView(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
}

void ConsoleView::AppendChunk(const QString& text)
{
    // The board ends its lines with "\r\n"; one line break each on screen.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    shown.append(u'\n');

    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
    if (atEnd)
        bar->setValue(bar->maximum());
}

void ConsoleView::Empty()
{
    clear();
}
