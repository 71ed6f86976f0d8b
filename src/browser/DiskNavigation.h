#pragma once
// Browsing stored pictures: the drive, folder and file lists linked so that
// each change runs the handler of the list before it (drive, then folder, then
// file, then the picture), and the picture with the record from its name.
#include "browser/DriveList.h"
#include "browser/PictureRecord.h"

#include <QObject>
#include <cstdint>
#include <functional>

class FileList;
class FolderList;
class StoredPicture;

class DiskNavigation : public QObject {
    Q_OBJECT
public:
    // `AppFolder` is the window's, set afresh to `programFolder()` by each
    // reset; `ImageBitmapRef` names the placeholder shown without a picture.
    DiskNavigation(QString& AppFolder, const std::int16_t& ImageBitmapRef,
                   std::function<QString()> programFolder,
                   std::function<QStringList()> volumes = MountedVolumes,
                   QObject* parent = nullptr);

    // Points the three lists at the program's folder; runs at start-up and
    // whenever the "Disk" tab is shown after another tab. A folder that cannot
    // be read leaves the lists as they were, without a message.
    void ResetDiskFolder();
    // The folder list (Dir1) or the drive list (Drive1) moved: the lists after
    // it follow.
    void FolderChanged();
    void DriveChanged();
    // Shows the file selected in File1 and its record, or the cleared view.
    void ShowSelectedFile();

    FolderList& Dir1() const { return *dir1_; }
    DriveList& Drive1() const { return *drive1_; }
    FileList& File1() const { return *file1_; }
    StoredPicture& Image2() const { return *image2_; }

Q_SIGNALS:
    // The record of the selected file, read from its name.
    void RecordShown(const PictureRecord& record);
    // No file is selected: the record's texts are emptied, all but the taxi
    // number and the user text, which keep theirs.
    void RecordCleared();

private:
    QString& AppFolder;
    const std::int16_t& ImageBitmapRef;
    std::function<QString()> programFolder_;
    FolderList* dir1_;
    DriveList* drive1_;
    FileList* file1_;
    StoredPicture* image2_;
};
