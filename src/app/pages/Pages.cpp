#include "app/pages/Pages.h"

#include "app/pages/DiskPage.h"
#include "app/pages/InformationPage.h"
#include "app/pages/LivePage.h"
#include "app/pages/TestPage.h"
#include "app/pages/UnitPage.h"
#include "common/ToolState.h"

#include <QComboBox>
#include <QLineEdit>

// The row tables are laid out by hand, one control a line.
// clang-format off

namespace {
using Features = const PageFeatures&;
} // namespace

QList<TabPage> TabPages()
{
    // A click on the shown tab is ignored, except on these four: "Information"
    // reads the board again.
    return {
        {QStringLiteral("Unit"), {}, 12135, 7815, true,
         [](const TabPage& tab, Features f, QWidget* window) -> Page* {
             return new UnitPage(tab, f.download, f.settings, window);
         }},
        {QStringLiteral("Disk"), {}, 12135, 7815, false,
         [](const TabPage& tab, Features f, QWidget* window) -> Page* {
             return new DiskPage(tab, f.tool.AppFolder, f.tool.ImageBitmapRef, window);
         }},
        {QStringLiteral("Information"), QStringLiteral("Information"), 12135, 7815, true,
         [](const TabPage& tab, Features f, QWidget* window) -> Page* {
             return new InformationPage(tab, f.information, f.console, window);
         }},
        {QStringLiteral("Live Images"), QStringLiteral("Images"), 12135, 7815, false,
         [](const TabPage& tab, Features f, QWidget* window) -> Page* {
             return new LivePage(tab, f.live, f.tool.AppFolder, f.tabRow, window);
         }},
        // "Configuration" and "Update" have no controls yet.
        {QStringLiteral("Configuration"), QStringLiteral("Configuration"), 12015, 7695, true,
         [](const TabPage& tab, Features, QWidget* window) { return new Page(tab, window); }},
        {QStringLiteral("Update"), QStringLiteral("Update"), 12135, 7815, true,
         [](const TabPage& tab, Features, QWidget* window) { return new Page(tab, window); }},
        {QStringLiteral("Test"), QStringLiteral("Test"), 12135, 7815, false,
         [](const TabPage& tab, Features f, QWidget* window) -> Page* {
             return new TestPage(tab, f.console, window);
         }},
    };
}

QList<ControlRow> WindowRows(WindowControls& c)
{
    return {
        // Lies over the tab row at the right.
        {"TxtUSB", Kind::TextBox, "USB Status", 9240, 40, 1095, 350, Into(c.TxtUSB),
         {.align = Qt::AlignCenter, .background = 0xFF8080, .readOnly = true,
          .speak = "USB status"}},
        {"lstBaud", Kind::DropDown, "Combo1", 3600, 6000, 1215, 315, Into(c.lstBaud),
         {.speak = "UART speed"}},
    };
}
// clang-format on
