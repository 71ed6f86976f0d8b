// "Disk": browsing stored pictures; the record from a picture's file name is
// drawn over the picture by the seven record labels.
#include "app/pages/DiskPage.h"

#include "app/LayoutStep.h"
#include "app/pages/ControlBuilder.h"
#include "app/widgets/DriveBox.h"
#include "app/widgets/FileListBox.h"
#include "app/widgets/FittingText.h"
#include "app/widgets/FolderBox.h"
#include "app/widgets/PictureView.h"
#include "browser/DiskNavigation.h"
#include "browser/PictureRecord.h"
#include "common/AppPaths.h"

#include <QComboBox>
#include <QLabel>
#include <QListView>

DiskPage::DiskPage(const TabPage& tab, QString& AppFolder, const std::int16_t& ImageBitmapRef,
                   QWidget* parent, std::function<QStringList()> volumes)
    : Page(tab, parent),
      disk_(new DiskNavigation(AppFolder, ImageBitmapRef, ProgramFolder, std::move(volumes), this))
{
    BuildControls(this, DiskPageRows(*this));
    new FolderBox(Dir1, &disk_->Dir1());
    new DriveBox(Drive1, &disk_->Drive1());
    new FileListBox(File1, &disk_->File1());
    new PictureView(Image2, &disk_->Image2());
    connect(disk_, &DiskNavigation::RecordShown, this, &DiskPage::ShowRecord);
    connect(disk_, &DiskNavigation::RecordCleared, this, &DiskPage::ClearRecord);
}

void DiskPage::Shown()
{
    disk_->ResetDiskFolder();
}

void DiskPage::ApplyLayout(const ResizeLayout& layout)
{
    const DiskLayout& disk = layout.disk;
    SetSize(this, disk.frame);
    SetHeight(File1, disk.File1Height);
    SetHeight(Image2, disk.Image2Height);
    SetWidth(Image2, disk.Image2Width);
    // The lower record labels keep their distance above the picture's bottom
    // edge; their left edges stay while the picture widens.
    SetTop(txtBRTaxiNumber, disk.txtBRTaxiNumberTop);
    SetTop(txtBRSerialNumber, disk.txtBRSerialNumberTop);
    SetTop(txtBRUserString, disk.txtBRUserStringTop);
    SetTop(txtBrTrigType, disk.txtBrTrigTypeTop);
}

void DiskPage::ShowRecord(const PictureRecord& record)
{
    SetFittingText(TxtBrNumber, record.PictureNumber);
    SetFittingText(TxtBrTime, record.TimeText);
    SetFittingText(TxtBrDate, record.DateText);
    txtBRUserString->setText(record.UserText); // these two wrap
    txtBRTaxiNumber->setText(record.TaxiNumber);
    SetFittingText(txtBRSerialNumber, record.SerialNumber);
    SetFittingText(txtBrTrigType, record.TriggerText);
}

void DiskPage::ClearRecord()
{
    TxtBrNumber->clear();
    TxtBrTime->clear();
    TxtBrDate->clear();
    txtBrTrigType->clear();
    txtBRSerialNumber->clear();
}

// The row tables are laid out by hand, one control a line.
// clang-format off

namespace {

Look Record(int points, Qt::Alignment align = {}, bool wrap = false)
{
    return {.face = "MS Sans Serif", .hint = QFont::SansSerif, .points = points, .bold = true,
            .align = align, .wrap = wrap, .transparent = true};
}

} // namespace

QList<ControlRow> DiskPageRows(DiskControls& c)
{
    return {
        {"Dir1", Kind::FolderBox, "", 120, 240, 3135, 1440, Into(c.Dir1), {.speak = "Folders"}},
        {"Drive1", Kind::DriveBox, "", 120, 1800, 1335, 315, Into(c.Drive1), {.speak = "Drive"}},
        {"File1", Kind::FileBox, "", 120, 2160, 3135, 3600, Into(c.File1),
         {.speak = "Pictures", .pattern = "*.jpg"}},
        {"Image2", Kind::Picture, "", 3360, 240, 7140, 5535, Into(c.Image2),
         {.stretch = true, .speak = "Stored picture"}},
        // After Image2, so they lie above it.
        {"TxtBrDate", Kind::Label, "", 4080, 240, 1935, 375, Into(c.TxtBrDate),
         Record(18, Qt::AlignHCenter)},
        {"TxtBrTime", Kind::Label, "", 6360, 240, 1455, 375, Into(c.TxtBrTime), Record(18)},
        {"TxtBrNumber", Kind::Label, "", 8160, 240, 1695, 375, Into(c.TxtBrNumber), Record(18)},
        {"txtBrTrigType", Kind::Label, " ", 6000, 4800, 1935, 495, Into(c.txtBrTrigType),
         Record(18, Qt::AlignHCenter)},
        {"txtBRTaxiNumber", Kind::Label, "", 3480, 5040, 2535, 615, Into(c.txtBRTaxiNumber),
         Record(12, {}, true)},
        {"txtBRSerialNumber", Kind::Label, "", 6120, 5280, 1695, 375, Into(c.txtBRSerialNumber),
         Record(18, Qt::AlignHCenter)},
        {"txtBRUserString", Kind::Label, "", 7920, 5040, 2535, 615, Into(c.txtBRUserString),
         Record(12, Qt::AlignRight, true)},
    };
}
// clang-format on
