// "Disk": browsing stored pictures; the record from a picture's file name is
// drawn over the picture by the seven record labels.
#include "app/pages/Pages.h"

// The row tables are laid out by hand, one control a line.
// clang-format off

namespace {

Look Record(int points, Qt::Alignment align = {}, bool wrap = false)
{
    return {.face = "MS Sans Serif", .hint = QFont::SansSerif, .points = points, .bold = true,
            .align = align, .wrap = wrap, .transparent = true};
}

} // namespace

QList<ControlRow> DiskPageRows()
{
    return {
        {"Dir1", Kind::FolderBox, "", 120, 240, 3135, 1440, {.speak = "Folders"}},
        {"Drive1", Kind::DriveBox, "", 120, 1800, 1335, 315, {.speak = "Drive"}},
        {"File1", Kind::FileBox, "", 120, 2160, 3135, 3600,
         {.speak = "Pictures", .pattern = "*.jpg"}},
        {"Image2", Kind::Picture, "", 3360, 240, 7140, 5535,
         {.stretch = true, .speak = "Stored picture"}},
        // After Image2, so they lie above it.
        {"TxtBrDate", Kind::Label, "", 4080, 240, 1935, 375, Record(18, Qt::AlignHCenter)},
        {"TxtBrTime", Kind::Label, "", 6360, 240, 1455, 375, Record(18)},
        {"TxtBrNumber", Kind::Label, "", 8160, 240, 1695, 375, Record(18)},
        {"txtBrTrigType", Kind::Label, " ", 6000, 4800, 1935, 495, Record(18, Qt::AlignHCenter)},
        {"txtBRTaxiNumber", Kind::Label, "", 3480, 5040, 2535, 615, Record(12, {}, true)},
        {"txtBRSerialNumber", Kind::Label, "", 6120, 5280, 1695, 375,
         Record(18, Qt::AlignHCenter)},
        {"txtBRUserString", Kind::Label, "", 7920, 5040, 2535, 615,
         Record(12, Qt::AlignRight, true)},
    };
}
// clang-format on
