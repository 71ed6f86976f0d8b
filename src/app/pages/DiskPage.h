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

struct DiskControls {
    QListView* Dir1 = nullptr;
    QComboBox* Drive1 = nullptr;
    QListView* File1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* TxtBrDate = nullptr;
    QLabel* TxtBrTime = nullptr;
    QLabel* TxtBrNumber = nullptr;
    QLabel* txtBrTrigType = nullptr;
    QLabel* txtBRTaxiNumber = nullptr;
    QLabel* txtBRSerialNumber = nullptr;
    QLabel* txtBRUserString = nullptr;
};
QList<ControlRow> DiskPageRows(DiskControls& c);

class DiskPage : public Page, public DiskControls {
    Q_OBJECT
public:
    // `AppFolder` and `ImageBitmapRef` are the window's (see DiskNavigation);
    // `volumes` lists the drives (tests give their own).
    DiskPage(const TabPage& tab, QString& AppFolder, const std::int16_t& ImageBitmapRef,
             QWidget* parent, std::function<QStringList()> volumes = MountedVolumes);

    // Loading the window and showing the page point its boxes at the
    // program's folder again.
    void Loaded() override { Shown(); }
    void Shown() override;
    void ApplyLayout(const ResizeLayout& layout) override;

    DiskNavigation& Disk() const { return *disk_; }

private:
    void ShowRecord(const PictureRecord& record);
    void ClearRecord();

    DiskNavigation* disk_;
};
