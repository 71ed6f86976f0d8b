#pragma once
// The "Disk" page: the drive, folder and file boxes, linked so that each
// change runs the handler of the box before it (drive, then folder, then
// file, then the picture view), and the picture with its record.
#include "browser/DriveBox.h"

#include <QObject>
#include <cstdint>
#include <functional>

class FileListBox;
class FolderBox;
class MainWindow;
class PictureView;
class QComboBox;
class QLabel;
class QListView;

// The controls of the page, made elsewhere (the window, or a test).
struct DiskPageControls {
    QListView* Dir1;
    QComboBox* Drive1;
    QListView* File1;
    QLabel* Image2;
    QLabel* TxtBrDate;
    QLabel* TxtBrTime;
    QLabel* TxtBrNumber;
    QLabel* txtBrTrigType;
    QLabel* txtBRTaxiNumber;
    QLabel* txtBRSerialNumber;
    QLabel* txtBRUserString;
};

// What the page shares with the window.
struct DiskPageState {
    QString& AppFolder;
    const std::int16_t& ImageBitmapRef;
    std::function<QString()> ProgramFolder; // the folder that AppFolder is set to
    std::function<QStringList()> Volumes = MountedVolumes;
};

class DiskNavigation : public QObject {
    Q_OBJECT
public:
    DiskNavigation(const DiskPageControls& controls, DiskPageState state,
                   QObject* parent = nullptr);

    // Points the three boxes at the program's folder; runs at start-up and
    // whenever the "Disk" tab is shown after another tab. A folder that cannot
    // be read leaves the boxes as they were, without a message.
    void ResetDiskFolder();
    void Dir1_Change();
    void Drive1_Change();
    // Shows the selected file and its record, or the cleared view.
    void File1_Click();

    FolderBox& Dir1() { return *dir1_; }
    DriveBox& Drive1() { return *drive1_; }
    FileListBox& File1() { return *file1_; }
    PictureView& Image2() { return *image2_; }

private:
    DiskPageControls controls_;
    DiskPageState state_;
    FolderBox* dir1_;
    DriveBox* drive1_;
    FileListBox* file1_;
    PictureView* image2_;
};

// Attaches the page's behaviour to the controls of `window`'s "Disk" page,
// found by name. The window owns the result.
DiskNavigation* AttachDiskNavigation(MainWindow& window);
