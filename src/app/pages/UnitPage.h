#pragma once
// "Unit": fetching a picture from the camera and the camera's picture size. The
// page's buttons start the picture download and change the camera settings;
// the download's progress and picture come back to its bar and picture box.
#include "app/pages/Page.h"

class CameraSettings;
class PictureDownload;
class QLabel;
class QProgressBar;

struct UnitControls {
    QAbstractButton* cmdDwnldPicSer = nullptr;
    QAbstractButton* cmdDwnldPic = nullptr;
    QAbstractButton* cmdSpiReset = nullptr;
    QButtonGroup* Option1 = nullptr; // Option1_0 to Option1_10, the picture sizes
    QProgressBar* ProgPicDwnld = nullptr;
    QLabel* Image1 = nullptr;
};
QList<ControlRow> UnitPageRows(UnitControls& c);

class UnitPage : public Page, public UnitControls {
    Q_OBJECT
public:
    UnitPage(const TabPage& tab, PictureDownload& download, CameraSettings& settings,
             QWidget* parent);

    void ApplyLayout(const ResizeLayout& layout) override;

private:
    void cmdDwnldPic_Click();
    void cmdDwnldPicSer_Click();
    void Option1_Click(int Index);
    void cmdSpiReset_Click();

    PictureDownload& download_;
    CameraSettings& settings_;
};
