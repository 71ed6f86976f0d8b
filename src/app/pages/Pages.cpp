#include "app/pages/Pages.h"

// The row tables are laid out by hand, one control a line.
// clang-format off

QList<TabPage> TabPages()
{
    // A click on the shown tab is ignored, except on these four: "Information"
    // reads the board again.
    return {
        {QStringLiteral("Unit"), {}, 12135, 7815, &UnitPageRows, true},
        {QStringLiteral("Disk"), {}, 12135, 7815, &DiskPageRows, false},
        {QStringLiteral("Information"), QStringLiteral("Information"), 12135, 7815,
         &InformationPageRows, true},
        {QStringLiteral("Live Images"), QStringLiteral("Images"), 12135, 7815, &LivePageRows,
         false},
        {QStringLiteral("Configuration"), QStringLiteral("Configuration"), 12015, 7695,
         &EmptyPageRows, true},
        {QStringLiteral("Update"), QStringLiteral("Update"), 12135, 7815, &EmptyPageRows, true},
        {QStringLiteral("Test"), QStringLiteral("Test"), 12135, 7815, &TestPageRows, false},
    };
}

QList<ControlRow> WindowRows()
{
    return {
        // Lies over the tab row at the right.
        {"TxtUSB", Kind::TextBox, "USB Status", 9240, 40, 1095, 350,
         {.align = Qt::AlignCenter, .background = 0xFF8080, .readOnly = true,
          .speak = "USB status"}},
        {"lstBaud", Kind::DropDown, "Combo1", 3600, 6000, 1215, 315, {.speak = "UART speed"}},
    };
}

// "Configuration" and "Update" have no controls yet.
QList<ControlRow> EmptyPageRows()
{
    return {};
}
// clang-format on
