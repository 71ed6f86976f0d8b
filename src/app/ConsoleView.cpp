#include "app/ConsoleView.h"

#include <QScrollBar>
#include <QTextCursor>

namespace {
constexpr int kFrameMs = 16; // one screen frame at 60 Hz
}

ConsoleView::ConsoleView(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    frame_.setSingleShot(true);
    frame_.setInterval(kFrameMs);
    connect(&frame_, &QTimer::timeout, this, &ConsoleView::Flush);
}

void ConsoleView::AppendChunk(const QString& text)
{
    // The board ends its lines with "\r\n"; one line break each on screen.
    // Each chunk is converted on its own, so the collected text is exactly what
    // inserting the chunks one by one would show.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    shown.append(u'\n');
    pending_ += shown;
    if (!frame_.isActive())
        frame_.start();
}

void ConsoleView::Flush()
{
    frame_.stop();
    if (pending_.isEmpty())
        return;
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(pending_);
    pending_.clear();
    if (atEnd)
        bar->setValue(bar->maximum());
}

void ConsoleView::Empty()
{
    frame_.stop();
    pending_.clear();
    clear();
}
