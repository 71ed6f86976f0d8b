#include "app/pages/Pages.h"

// The row tables are laid out by hand, one control a line.
// clang-format off

QList<TabPage> TabPages()
{
    return {
        {QStringLiteral("Unit"), {}, 12135, 7815, &UnitPageRows},
        {QStringLiteral("Disk"), {}, 12135, 7815, &DiskPageRows},
        {QStringLiteral("Information"), QStringLiteral("Information"), 12135, 7815,
         &InformationPageRows},
        {QStringLiteral("Live Images"), QStringLiteral("Images"), 12135, 7815, &EmptyPageRows},
        {QStringLiteral("Configuration"), QStringLiteral("Configuration"), 12015, 7695,
         &EmptyPageRows},
        {QStringLiteral("Update"), QStringLiteral("Update"), 12135, 7815, &EmptyPageRows},
        {QStringLiteral("Test"), QStringLiteral("Test"), 12135, 7815, &TestPageRows},
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

// "Live Images", "Configuration" and "Update" have no controls yet.
QList<ControlRow> EmptyPageRows()
{
    return {};
}
// clang-format on
