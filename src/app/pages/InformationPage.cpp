// "Information": the board's identity and its table of camera commands.
#include "app/pages/InformationPage.h"

#include "app/pages/ClickLabel.h"
#include "app/pages/ControlBuilder.h"
#include "app/pages/KeyAscii.h"
#include "app/widgets/BoxText.h"
#include "board/BoardInformation.h"
#include "board/TestConsole.h"
#include "link/BoardProtocol.h"

#include <QKeyEvent>
#include <QLineEdit>

// The row tables are laid out by hand, one control a line.
// clang-format off

namespace {

// The four lines of a rectangle from (left, top) to (right, bottom), named
// Line<first> to Line<first + 3>.
void AppendRectangle(QList<ControlRow>& rows, int first, int left, int top, int right,
                     int bottom)
{
    const auto line = [&](int number, int x1, int y1, int x2, int y2) {
        rows.append({QStringLiteral("Line%1").arg(number), Kind::Line, "", x1, y1, x2 - x1,
                     y2 - y1});
    };
    line(first, left, top, right, top);
    line(first + 1, left, top, left, bottom);
    line(first + 2, right, top, right, bottom);
    line(first + 3, left, bottom, right, bottom);
}

} // namespace

QList<ControlRow> InformationPageRows(InformationControls& c)
{
    QList<ControlRow> rows;
    AppendRectangle(rows, 1, 240, 480, 5520, 4440);
    AppendRectangle(rows, 5, 5760, 480, 10440, 5400);
    rows += QList<ControlRow>{
        {"LblHWInfo", Kind::Label, "HARDWARE COMPONENT INFORMATION", 1200, 360, 3375, 255, {},
         {.align = Qt::AlignHCenter}},
        {"LblCPU", Kind::Label, "CPU ID", 480, 840, 1215, 255},
        {"TxtCPU_ID", Kind::TextBox, "", 1920, 840, 3255, 375, Into(c.TxtCPU_ID),
         {.speak = "CPU ID"}},
        {"TxtCPU_Ver", Kind::TextBox, "", 1920, 1200, 2295, 375, Into(c.TxtCPU_Ver),
         {.speak = "CPU version"}},
        {"TxtCPU_Rev", Kind::TextBox, "", 4200, 1200, 975, 375, Into(c.TxtCPU_Rev),
         {.speak = "CPU revision"}},
        {"lblSoftVer", Kind::Label, "Software Version", 480, 1920, 2175, 255},
        {"TxtSoftVer", Kind::TextBox, "", 4200, 1920, 975, 375, Into(c.TxtSoftVer),
         {.speak = "Software Version"}},
    };

    // The command table: a caption to click and the entry's box, row k at 840 + 360 k.
    for (std::size_t k = 0; k < CommandTableCodes.size(); ++k) {
        const char* code = CommandTableCodes[k];
        const QString caption = QStringLiteral("COMMAND ") + QLatin1StringView(code);
        const int top = 840 + 360 * int(k);
        // "cmd0c" and "TxtCMD0C": the label's name in lower case.
        rows.append({QStringLiteral("cmd") + QString::fromLatin1(code).toLower(), Kind::ClickLabel, caption, 5880, top, 1815, 255,
                     Into(c.cmd[k])});
        rows.append({QStringLiteral("TxtCMD") + QLatin1StringView(code), Kind::TextBox, "", 7800, top, 2535, 375,
                     Into(c.TxtCMD[k]), {.speak = caption}});
    }

    rows += QList<ControlRow>{
        {"cmdEntry", Kind::TextBox, "CLICK ON COMMAND", 7560, 5520, 2895, 495, Into(c.cmdEntry),
         {.face = "MS Serif", .hint = QFont::Serif, .align = Qt::AlignCenter,
          .speak = "Command entry"}},
        {"Label18", Kind::Label, "RETURN", 5880, 6000, 1815, 255},
        {"retString", Kind::TextBox, "", 7800, 6000, 2535, 375, Into(c.retString),
         {.speak = "RETURN"}},
    };
    return rows;
}
// clang-format on

InformationPage::InformationPage(const TabPage& tab, BoardInformation& information,
                                 TestConsole& console, QWidget* parent)
    : Page(tab, parent), information_(information), console_(console)
{
    BuildControls(this, InformationPageRows(*this));
    for (std::size_t k = 0; k < CommandTableCodes.size(); ++k) {
        QLineEdit* box = TxtCMD[k];
        // A command label copies the text of its command-table box into cmdEntry.
        connect(cmd[k], &ClickLabel::clicked, this,
                [this, box] { ShowFromStart(cmdEntry, box->text()); });
    }
    connect(&information_, &BoardInformation::IdentityChanged, this,
            [this](BoardIdentity::Field field, const BoardIdentity& identity) {
                // In the order of the fields.
                QLineEdit* const boxes[] = {TxtCPU_ID, TxtCPU_Ver, TxtCPU_Rev, TxtSoftVer};
                ShowFromStart(boxes[field], identity[field]);
            });
    connect(&information_, &BoardInformation::CommandTableEntryRead, this,
            [this](int index, const QString& entry) { ShowFromStart(TxtCMD[index], entry); });

    normalPalette_ = cmdEntry->palette();
    cmdEntry->installEventFilter(this);
    connect(&console_, &TestConsole::EntryMarked, this, [this](bool bad) {
        QPalette palette = normalPalette_;
        if (bad)
            palette.setColor(QPalette::Base, QColor(255, 0, 0));
        cmdEntry->setPalette(palette);
    });
    connect(&console_, &TestConsole::EntryReplied, this,
            [this](const QString& reply) { ShowFromStart(retString, reply); });
}

void InformationPage::Shown()
{
    information_.ReadBoardInfo();
}

bool InformationPage::eventFilter(QObject* watched, QEvent* event)
{
    if (const std::int16_t code = KeyAsciiIn(cmdEntry, watched, event); code >= 0)
        cmdEntry_KeyPress(code);
    // Every key reaches the box as typed.
    return Page::eventFilter(watched, event);
}

// Any key first turns the entry back to normal; Enter then sends it.
void InformationPage::cmdEntry_KeyPress(std::int16_t KeyAscii)
{
    console_.EntryEdited();
    if (KeyAscii == EnterKeyAscii)
        console_.SendEntry(cmdEntry->text());
}
