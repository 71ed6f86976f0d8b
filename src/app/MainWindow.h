#pragma once
// The program's one window: its controls on seven tab pages, the state that the
// handlers share with the board link, start-up and activation.
#include "link/BoardLink.h"

#include <QWidget>
#include <array>
#include <functional>

class BoardInformation;
class CameraSettings;
class ConsoleView;
class FilePipes;
class LiveCapture;
class TestConsole;
class QComboBox;
class Page;
class PictureDownload;
class QFrame;
class QLineEdit;
class TabStrip;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(usb::UsbBackend& backend, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up. False when the USB objects could not be created: the failure was
    // shown and the program is to end.
    bool Form_Load();
    // Runs once, right after the window is first shown.
    void Form_Activate();
    void TabStrip1_Click();
    // Lays the window out for its size: the height follows the width, and the
    // pictures and the controls around them grow with it.
    void Form_Resize();

    // Shows a message box with only an OK button and the application's title.
    // Tests replace it to record the texts instead of blocking.
    std::function<void(const QString&)> ShowMessage;

Q_SIGNALS:
    // Tab index (1-based) was shown by TabStrip1_Click, also when a click on the
    // shown tab ran its steps again.
    void TabShown(int index);

public:

    // --- window state -------------------------------------------------------
    std::int16_t ImageBitmapRef = 101;
    std::int16_t ImageIconRef = 109;
    QString AppFolder;
    QString ReadFilePath;
    std::int16_t CurrentTab = 1;
    bool InResize = false;
    BoardLink Link;

    // --- controls -----------------------------------------------------------
    TabStrip* TabStrip1 = nullptr;
    std::array<Page*, 7> Frame1{};
    QLineEdit* TxtUSB = nullptr;
    QComboBox* lstBaud = nullptr;
    ConsoleView* Outputwindow = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void AssemblePages();
    void ConnectLink();
    void ShowLinkState(int state);
    void DefaultShowMessage(const QString& text);

    bool activated_ = false;
    // Feature handlers, created with the controls they serve.
    BoardInformation* boardInformation_ = nullptr;
    TestConsole* testConsole_ = nullptr;
    PictureDownload* pictureDownload_ = nullptr;
    CameraSettings* cameraSettings_ = nullptr;
    FilePipes* filePipes_ = nullptr;
    LiveCapture* liveCapture_ = nullptr;
};

// The application's title, the caption of every message box.
QString ApplicationTitle();
