#pragma once
// "Test": the output window with its command line and "Clear" button, and the
// list of boot image files.
#include "app/pages/Page.h"

#include <cstdint>

class ConsoleView;
class QAbstractButton;
class QLineEdit;
class TestConsole;

class TestPage : public Page {
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
    ConsoleView* Outputwindow;
    QLineEdit* CmdCommandLine;
    QAbstractButton* cmdSelusbboot;
};
