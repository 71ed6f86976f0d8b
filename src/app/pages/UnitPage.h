#pragma once
// "Unit": fetching a picture from the camera and the camera's picture size. The
// page's buttons start the picture download and change the camera settings;
// the download's progress and picture come back to its bar and picture box.
#include "app/pages/Page.h"

class CameraSettings;
class PictureDownload;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QProgressBar;

class UnitPage : public Page {
    Q_OBJECT
public:
    UnitPage(const TabPage& tab, PictureDownload& download, CameraSettings& settings,
             QWidget* parent);

    QAbstractButton* cmdDwnldPicSer;
    QAbstractButton* cmdDwnldPic;
    QAbstractButton* cmdSpiReset;
    QButtonGroup* Option1; // Option1_0 to Option1_10, the picture sizes
    QProgressBar* ProgPicDwnld;
    QLabel* Image1;
};
