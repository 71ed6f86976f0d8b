#pragma once
// "Test": the output window with its command line and "Clear" button, and the
// list of boot image files.
#include "app/pages/Page.h"

#include <cstdint>

class ConsoleView;
class QLineEdit;
class QListView;
class TestConsole;

// The controls that the page binds; the others only show their design texts.
struct TestControls {
    ConsoleView* Outputwindow = nullptr;
    QLineEdit* CmdCommandLine = nullptr;
    QAbstractButton* Clear = nullptr;
    QListView* fllstusbboot = nullptr;
    QAbstractButton* cmdSelusbboot = nullptr;
};
QList<ControlRow> TestPageRows(TestControls& c);

class TestPage : public Page, public TestControls {
    Q_OBJECT
public:
    TestPage(const TabPage& tab, TestConsole& console, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CmdCommandLine_KeyPress(std::int16_t KeyAscii);
    void Clear_Click();
    // A click on a file of the boot list turns "Select File" pure green, for good:
    // it marks that a boot image was chosen.
    void fllstusbboot_Click();

    TestConsole& console_;
};
