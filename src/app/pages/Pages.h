#pragma once
// The window's control inventory: one entry a tab, naming the tab, its frame
// and how its page is made from the features it binds to; and the controls
// that lie on the window itself.
#include "app/pages/ControlRow.h"

class BoardInformation;
class CameraSettings;
class LiveCapture;
class Page;
class PictureDownload;
class QComboBox;
class QLineEdit;
class TestConsole;
struct ToolState;

// What the pages bind their controls to.
struct PageFeatures {
    PictureDownload& download;
    CameraSettings& settings;
    BoardInformation& information;
    TestConsole& console;
    LiveCapture& live;
    ToolState& tool;
    QWidget* tabRow; // the window's row of tabs
};

struct TabPage {
    QString tab;            // the tab's caption
    QString frameTitle;     // the frame's caption; empty for none
    int width, height;      // the frame's size in twips; every frame lies at 120, 360
    bool runsAgain = false; // a click on the shown tab runs the page's steps again
    // Makes the page with its controls, bound to its features.
    Page* (*make)(const TabPage& tab, const PageFeatures& features, QWidget* window);
};

// Tab i (1-based) shows the frame of TabPages()[i - 1].
QList<TabPage> TabPages();

// Controls on the window outside the frames: the status box and the speed list.
struct WindowControls {
    QLineEdit* TxtUSB = nullptr;
    QComboBox* lstBaud = nullptr;
};
QList<ControlRow> WindowRows(WindowControls& c);
