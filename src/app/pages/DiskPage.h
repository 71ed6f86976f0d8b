#pragma once
// The "Disk" page: the drive, folder and file boxes, the stored picture and the
// seven record labels drawn over it, bound to the disk navigation.
#include "app/pages/Page.h"
#include "browser/DriveList.h"

#include <cstdint>
#include <functional>

class DiskNavigation;
class QComboBox;
class QLabel;
class QListView;
struct PictureRecord;

class DiskPage : public Page {
    Q_OBJECT
public:
    // `AppFolder` and `ImageBitmapRef` are the window's (see DiskNavigation);
    // `volumes` lists the drives (tests give their own).
    DiskPage(const TabPage& tab, QString& AppFolder, const std::int16_t& ImageBitmapRef,
             QWidget* parent, std::function<QStringList()> volumes = MountedVolumes);

    // Showing the page points its boxes at the program's folder again.
    void Shown() override;

    DiskNavigation& Disk() const { return *disk_; }

    QListView* const Dir1;
    QComboBox* const Drive1;
    QListView* const File1;
    QLabel* const Image2;
    QLabel* const TxtBrDate;
    QLabel* const TxtBrTime;
    QLabel* const TxtBrNumber;
    QLabel* const txtBrTrigType;
    QLabel* const txtBRTaxiNumber;
    QLabel* const txtBRSerialNumber;
    QLabel* const txtBRUserString;

private:
    void ShowRecord(const PictureRecord& record);
    void ClearRecord();

    DiskNavigation* disk_;
};
