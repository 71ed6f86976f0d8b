#include "browser/DiskNavigation.h"

#include "browser/FileList.h"
#include "browser/FolderList.h"
#include "browser/PictureRecord.h"
#include "browser/StoredPicture.h"
#include "common/AppPaths.h"

namespace {

const QString PicturePattern = QStringLiteral("*.jpg");

} // namespace

DiskNavigation::DiskNavigation(QString& AppFolder, const std::int16_t& ImageBitmapRef,
                               std::function<QString()> programFolder,
                               std::function<QStringList()> volumes, QObject* parent)
    : QObject(parent), AppFolder(AppFolder), ImageBitmapRef(ImageBitmapRef),
      programFolder_(std::move(programFolder)), dir1_(new FolderList(this)),
      drive1_(new DriveList(std::move(volumes), this)), file1_(new FileList(PicturePattern, this)),
      image2_(new StoredPicture(this))
{
    // The folder shown last on a volume is where the drive list takes the
    // folder list back to. A folder that could not be read is not kept.
    connect(dir1_, &FolderList::Change, this, [this] { drive1_->RememberFolder(dir1_->Path()); });
    connect(dir1_, &FolderList::Change, this, &DiskNavigation::FolderChanged);
    connect(dir1_, &FolderList::Listed, this, [this](const QString& path, bool ok) {
        if (!ok) {
            drive1_->ForgetFolder(path);
            drive1_->RememberFolder(dir1_->Path());
            // The file list may have gone back to its folder and selection before
            // the folder list did, and shown the file from the folder that failed:
            // show the selection again from the folder the list is back at.
            if (!file1_->FileName().isEmpty())
                ShowSelectedFile();
        }
    });
    connect(drive1_, &DriveList::Change, this, &DiskNavigation::DriveChanged);
    connect(file1_, &FileList::Click, this, &DiskNavigation::ShowSelectedFile);
}

void DiskNavigation::ResetDiskFolder()
{
    // None of the steps fails here: a folder that cannot be read is found out
    // by the list that reads it, which then returns to what it showed. So a
    // reset never repeats a step, and AppFolder is always set afresh first.
    AppFolder = programFolder_();
    // A memory card or stick mounted since the page was last opened is listed now.
    drive1_->Refresh();
    dir1_->SetPath(AppFolder);
    drive1_->SetValue(AppFolder);
    file1_->SetFolder(AppFolder);
    file1_->SetPattern(PicturePattern);
}

void DiskNavigation::FolderChanged()
{
    file1_->SetFolder(dir1_->Path());
    ShowSelectedFile();
}

void DiskNavigation::DriveChanged()
{
    dir1_->SetPath(drive1_->CurrentFolder(drive1_->Value()));
    ShowSelectedFile();
}

void DiskNavigation::ShowSelectedFile()
{
    const QString name = file1_->FileName();
    if (name.isEmpty()) {
        Q_EMIT RecordCleared();
        image2_->ShowPlaceholder(ImageBitmapRef);
        return;
    }
    Q_EMIT RecordShown(ParsePictureFileName(name));
    image2_->ShowPicture(JoinPath(dir1_->Path(), name), ImageBitmapRef);
}
