#include "board/TestConsole.h"

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "common/StringTable.h"
#include "app/pages/ClickLabel.h"
#include "board/CommandTable.h"
#include "board/EntryTest.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr std::int16_t EnterKey = 13;
}

std::int16_t KeyPressCode(int key, const QString& text)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return EnterKey;
    if (key == Qt::Key_Backspace)
        return 8;
    if (text.isEmpty())
        return -1;
    return std::int16_t(text.at(0).unicode());
}

TestConsole::TestConsole(MainWindow& window)
    : QObject(&window), window_(window), cmdEntry(Control<QLineEdit>(window, "cmdEntry")),
      retString(Control<QLineEdit>(window, "retString")),
      CmdCommandLine(Control<QLineEdit>(window, "CmdCommandLine"))
{
    normalPalette_ = cmdEntry->palette();
    cmdEntry->installEventFilter(this);
    CmdCommandLine->installEventFilter(this);
    connect(Control<QAbstractButton>(window, "Clear"), &QAbstractButton::clicked, this,
            &TestConsole::Clear_Click);
    for (const char* code : CommandTableCodes) {
        const QByteArray label = CommandTableLabelName(code).toLatin1();
        connect(Control<ClickLabel>(window, label.constData()), &ClickLabel::clicked, this,
                [this, code] { CommandLabel_Click(code); });
    }
}

void TestConsole::CommandLabel_Click(const char* code)
{
    ShowFromStart(
        cmdEntry,
        Control<QLineEdit>(window_, CommandTableBoxName(code).toLatin1().constData())->text());
}

bool TestConsole::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == cmdEntry || watched == CmdCommandLine)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::int16_t code = KeyPressCode(key->key(), key->text());
        if (code >= 0) {
            if (watched == cmdEntry)
                cmdEntry_KeyPress(code);
            else
                CmdCommandLine_KeyPress(code);
        }
    }
    // Every key reaches the box as typed.
    return QObject::eventFilter(watched, event);
}

void TestConsole::cmdEntry_KeyPress(std::int16_t KeyAscii)
{
    cmdEntry->setPalette(normalPalette_);
    if (KeyAscii != EnterKey)
        return;
    if (FirstFailingEntryPosition(cmdEntry->text()) != 0) {
        QPalette red = normalPalette_;
        red.setColor(QPalette::Base, QColor(255, 0, 0));
        cmdEntry->setPalette(red);
        return;
    }
    const QString reply = window_.Link.DownLoadCommand(QStringLiteral("C:07") + cmdEntry->text());
    ShowFromStart(retString, reply);
}

void TestConsole::CmdCommandLine_KeyPress(std::int16_t KeyAscii)
{
    if (KeyAscii != EnterKey)
        return;
    const QString text = CmdCommandLine->text();
    if (!text.startsWith(QStringLiteral("C:")))
        return;
    if (window_.Link.CommandEndpoints != 1) {
        window_.ShowMessage(LoadResString(StringBase + 105));
        return;
    }
    // The reply reaches the output window through the receive path.
    window_.Link.DownLoadCommand(text);
}

void TestConsole::Clear_Click()
{
    window_.Link.ClearConsole();
}
