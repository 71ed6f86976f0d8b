#pragma once
// "Live Images": the camera's pictures one after another, fitted to the page,
// with "Start"/"Stop", the way they come (SPI or UART), saving them to a
// folder, and a status line of what came.
#include "app/pages/Page.h"
#include "link/InputGate.h"

#include <memory>

class FitPicture;
class LiveCapture;
struct LiveCounts;
class QCheckBox;
class QLabel;
class QLineEdit;

struct LiveControls {
    QAbstractButton* cmdLive = nullptr;
    QButtonGroup* optLiveWay = nullptr; // 0 SPI, 1 UART
    QCheckBox* chkLiveSave = nullptr;
    QLineEdit* txtLiveFolder = nullptr;
    FitPicture* imgLive = nullptr;
    QLabel* lblLiveStatus = nullptr;
};
QList<ControlRow> LivePageRows(LiveControls& c);

class LivePage : public Page, public LiveControls {
    Q_OBJECT
public:
    // `AppFolder` is the window's: saved frames go to its "live" folder unless
    // another is given. `tabRow` is the window's row of tabs: its clicks reach
    // the page while capture runs, so that leaving the page stops it.
    LivePage(const TabPage& tab, LiveCapture& live, const QString& AppFolder, QWidget* tabRow,
             QWidget* parent);

    void Shown() override;
    // Capture stops first; the switch waits for the frame in flight.
    bool Leave() override;
    void ApplyLayout(const ResizeLayout& layout) override;

private:
    void cmdLive_Click();
    void ShowRunning(bool running);
    void ShowCounts(const LiveCounts& counts);
    // Input during a board wait that still gets through while capture runs:
    // "Stop" and the tab row, neither of which starts an exchange itself.
    bool ReachesStopOrTabs(QObject* receiver, QEvent* event) const;

    LiveCapture& live_;
    const QString& appFolder_;
    QWidget* const tabRow_;
    std::unique_ptr<InputGate::Passed> passed_;
    bool leaving_ = false;
};
