// "Test": the console, and the boot image files. Rows are in tab order: the
// console and its command line first, then the right column, then the boot list.
#include "app/pages/TestPage.h"

#include "app/ConsoleView.h"
#include "app/pages/ControlBuilder.h"
#include "app/pages/KeyAscii.h"
#include "app/widgets/FileListBox.h"
#include "board/TestConsole.h"

#include <QAbstractButton>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

// The row tables are laid out by hand, one control a line.
// clang-format off

QList<ControlRow> TestPageRows(TestControls& c)
{
    return {
        {"Outputwindow", Kind::Console, "", 240, 360, 5055, 5055, Into(c.Outputwindow),
         {.face = "Terminal", .hint = QFont::TypeWriter, .speak = "Output window"}},
        {"CmdCommandLine", Kind::TextBox, "C:40", 240, 7080, 6015, 390, Into(c.CmdCommandLine),
         {.speak = "Command line"}},
        {"Clear", Kind::Button, "Clear Output Window", 5400, 360, 1215, 495, Into(c.Clear)},
        {"TxtDEBUG", Kind::TextBox, "", 7800, 720, 2415, 420, {}, {.speak = "Debug"}},
        {"TxtSerialEntry", Kind::TextBox, "31000000", 7800, 1560, 1455, 420, {},
         {.maxLength = 8, .speak = "Serial entry"}},
        {"cmdDnldFirmware", Kind::Button, "FIRMWARE", 7800, 5040, 1095, 255},
        {"cmdDnldBootLoader", Kind::Button, "LOADER", 7800, 5400, 1095, 255},
        {"tstProgState", Kind::TextBox, "Flash Program", 7800, 5880, 2175, 495, {},
         {.speak = "Flash program state"}},
        {"Label9", Kind::Label, "File list of all usb_boot_xx.bin files available", 240, 5640,
         3735, 375},
        {"fllstusbboot", Kind::FileBox, "", 240, 6000, 3735, 870, Into(c.fllstusbboot),
         {.speak = "Boot image files", .pattern = "usb_boot_*.bin"}},
        {"cmdSelusbboot", Kind::Button, "Select File", 4200, 6000, 615, 855, Into(c.cmdSelusbboot),
         {.showsBackground = true}},
    };
}
// clang-format on

TestPage::TestPage(const TabPage& tab, TestConsole& console, QWidget* parent)
    : Page(tab, parent), console_(console)
{
    BuildControls(this, TestPageRows(*this));
    connect(&console_, &TestConsole::ConsoleAppended, Outputwindow, &ConsoleView::AppendChunk);
    connect(&console_, &TestConsole::ConsoleEmptied, Outputwindow, &ConsoleView::Empty);
    CmdCommandLine->installEventFilter(this);
    connect(Clear, &QAbstractButton::clicked, this, &TestPage::Clear_Click);

    auto* boot = new FileListBox(fllstusbboot, fllstusbboot->property("pattern").toString());
    // Nothing ever moves it: it stays at the folder the process started in.
    boot->SetFolder(QDir::currentPath());
    connect(boot, &FileListBox::Click, this, &TestPage::fllstusbboot_Click);
}

bool TestPage::eventFilter(QObject* watched, QEvent* event)
{
    if (const std::int16_t code = KeyAsciiIn(CmdCommandLine, watched, event); code >= 0)
        CmdCommandLine_KeyPress(code);
    // Every key reaches the box as typed.
    return Page::eventFilter(watched, event);
}

// Enter sends the line when it is a board command.
void TestPage::CmdCommandLine_KeyPress(std::int16_t KeyAscii)
{
    if (KeyAscii == EnterKeyAscii)
        console_.SendCommandLine(CmdCommandLine->text());
}

void TestPage::Clear_Click()
{
    console_.ClearOutput();
}

void TestPage::fllstusbboot_Click()
{
    QPalette palette = cmdSelusbboot->palette();
    palette.setColor(QPalette::Button, QColor(0, 255, 0));
    cmdSelusbboot->setPalette(palette);
}
