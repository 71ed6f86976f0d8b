#include "browser/DiskNavigation.h"

#include "common/AppPaths.h"
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "browser/FileListBox.h"
#include "browser/FittingText.h"
#include "browser/FolderBox.h"
#include "browser/PictureRecord.h"
#include "browser/PictureView.h"

#include <QComboBox>
#include <QLabel>
#include <QListView>

namespace {

const QString PicturePattern = QStringLiteral("*.jpg");

} // namespace

DiskNavigation::DiskNavigation(const DiskPageControls& controls, DiskPageState state,
                               QObject* parent)
    : QObject(parent), controls_(controls), state_(std::move(state)),
      dir1_(new FolderBox(controls.Dir1)), drive1_(new DriveBox(controls.Drive1, state_.Volumes)),
      file1_(new FileListBox(controls.File1, PicturePattern)),
      image2_(new PictureView(controls.Image2))
{
    // The folder shown last on a volume is where the drive box takes the
    // folder box back to. A folder that could not be read is not kept.
    connect(dir1_, &FolderBox::Change, this, [this] { drive1_->RememberFolder(dir1_->Path()); });
    connect(dir1_, &FolderBox::Change, this, &DiskNavigation::Dir1_Change);
    connect(dir1_, &FolderBox::Listed, this, [this](const QString& path, bool ok) {
        if (!ok) {
            drive1_->ForgetFolder(path);
            drive1_->RememberFolder(dir1_->Path());
            // The file box may have gone back to its folder and selection before
            // the folder box did, and shown the file from the folder that failed:
            // show the selection again from the folder the box is back at.
            if (!file1_->FileName().isEmpty())
                File1_Click();
        }
    });
    connect(drive1_, &DriveBox::Change, this, &DiskNavigation::Drive1_Change);
    connect(file1_, &FileListBox::Click, this, &DiskNavigation::File1_Click);
}

void DiskNavigation::ResetDiskFolder()
{
    // None of the steps fails here: a folder that cannot be read is found out
    // by the box that reads it, which then returns to what it showed. So a
    // reset never repeats a step, and AppFolder is always set afresh first.
    state_.AppFolder = state_.ProgramFolder();
    // A memory card or stick mounted since the page was last opened is listed now.
    drive1_->Refresh();
    dir1_->SetPath(state_.AppFolder);
    drive1_->SetValue(state_.AppFolder);
    file1_->SetFolder(state_.AppFolder);
    file1_->SetPattern(PicturePattern);
}

void DiskNavigation::Dir1_Change()
{
    file1_->SetFolder(dir1_->Path());
    File1_Click();
}

void DiskNavigation::Drive1_Change()
{
    dir1_->SetPath(drive1_->CurrentFolder(drive1_->Value()));
    File1_Click();
}

void DiskNavigation::File1_Click()
{
    const QString name = file1_->FileName();
    if (name.isEmpty()) {
        controls_.TxtBrNumber->clear();
        controls_.TxtBrTime->clear();
        controls_.TxtBrDate->clear();
        controls_.txtBrTrigType->clear();
        controls_.txtBRSerialNumber->clear();
        image2_->ShowPlaceholder(state_.ImageBitmapRef);
        return;
    }
    const PictureRecord record = ParsePictureFileName(name);
    SetFittingText(controls_.TxtBrNumber, record.PictureNumber);
    SetFittingText(controls_.TxtBrTime, record.TimeText);
    SetFittingText(controls_.TxtBrDate, record.DateText);
    controls_.txtBRUserString->setText(record.UserText);   // these two wrap
    controls_.txtBRTaxiNumber->setText(record.TaxiNumber);
    SetFittingText(controls_.txtBRSerialNumber, record.SerialNumber);
    SetFittingText(controls_.txtBrTrigType, record.TriggerText);
    image2_->ShowPicture(JoinPath(dir1_->Path(), name), state_.ImageBitmapRef);
}

DiskNavigation* AttachDiskNavigation(MainWindow& window)
{
    const DiskPageControls controls{
        Control<QListView>(window, "Dir1"),
        Control<QComboBox>(window, "Drive1"),
        Control<QListView>(window, "File1"),
        Control<QLabel>(window, "Image2"),
        Control<QLabel>(window, "TxtBrDate"),
        Control<QLabel>(window, "TxtBrTime"),
        Control<QLabel>(window, "TxtBrNumber"),
        Control<QLabel>(window, "txtBrTrigType"),
        Control<QLabel>(window, "txtBRTaxiNumber"),
        Control<QLabel>(window, "txtBRSerialNumber"),
        Control<QLabel>(window, "txtBRUserString"),
    };
    return new DiskNavigation(controls,
                              DiskPageState{window.AppFolder, window.ImageBitmapRef, ProgramFolder},
                              &window);
}
