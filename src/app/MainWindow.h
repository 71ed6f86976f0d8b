#pragma once
// The program's one window: it assembles the seven tab pages over the board
// link and the tool's shared state, and runs start-up and activation.
#include "app/pages/Pages.h"
#include "common/ToolState.h"

#include <QList>
#include <QWidget>
#include <functional>
#include <list>

class BoardInformation;
class BoardLink;
class CameraSettings;
class FilePipes;
class LiveCapture;
class PictureAssembler;
class TestConsole;
class Page;
class PictureDownload;
class QMessageBox;
class TabStrip;

class MainWindow : public QWidget, private WindowControls {
    Q_OBJECT
public:
    // link and tool must outlive the window.
    MainWindow(BoardLink& link, ToolState& tool, QWidget* parent = nullptr);
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
    void ShowMessage(const QString& text) { showMessage_(text); }
    // The status box's tooltip: which board "USB OK" stands for (empty: none).
    void NameBoard(const QString& text);
    // Tests record the texts instead of blocking on a box; null: boxes again.
    void SetMessageSink(std::function<void(const QString&)> sink);

    // The tab shown (1-based) and the page of tab index + 1, to look at.
    std::int16_t ShownTab() const { return CurrentTab; }
    Page* Frame(int index) const { return Frame1.at(index); }

Q_SIGNALS:
    // Tab index (1-based) was shown by TabStrip1_Click, also when a click on the
    // shown tab ran its steps again.
    void TabShown(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void AssemblePages();
    void ConnectLink();
    void lstBaud_Click();
    void ShowLinkState(int state);
    void DefaultShowMessage(const QString& text);

    // --- window state -------------------------------------------------------
    BoardLink& Link;
    ToolState& Tool;
    std::int16_t CurrentTab = 1;
    bool InResize = false;

    // --- controls (TxtUSB and lstBaud are WindowControls) ----------------------
    TabStrip* TabStrip1 = nullptr;
    QList<Page*> Frame1; // the page of tab index + 1

    std::function<void(const QString&)> showMessage_;
    // The boxes open now (nested when one comes up while another waits), and
    // whether the board left while each was open.
    struct OpenBox {
        QMessageBox* box;
        bool boardLeft;
    };
    std::list<OpenBox> openBoxes_;
    bool activated_ = false;
    // Feature handlers, created with the controls they serve.
    PictureAssembler* assembler_ = nullptr; // the picture buffer they share
    BoardInformation* boardInformation_ = nullptr;
    TestConsole* testConsole_ = nullptr;
    PictureDownload* pictureDownload_ = nullptr;
    CameraSettings* cameraSettings_ = nullptr;
    FilePipes* filePipes_ = nullptr;
    LiveCapture* liveCapture_ = nullptr;
};
