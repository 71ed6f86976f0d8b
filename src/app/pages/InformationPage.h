#pragma once
// "Information": the board's identity and its command table, read each time
// the tab is shown. A click on a "COMMAND xx" caption copies its entry into
// the command entry; Enter there sends it to the board and shows the reply.
#include "app/pages/Page.h"
#include "board/BoardInformation.h"
#include "link/BoardProtocol.h"

#include <QPalette>
#include <array>
#include <cstdint>

class ClickLabel;
class TestConsole;
class QLineEdit;

struct InformationControls {
    QLineEdit* TxtCPU_ID = nullptr;
    QLineEdit* TxtCPU_Ver = nullptr;
    QLineEdit* TxtCPU_Rev = nullptr;
    QLineEdit* TxtSoftVer = nullptr;
    // The command table, in the order of CommandTableCodes: cmd01 to cmd23 and
    // TxtCMD01 to TxtCMD23.
    std::array<ClickLabel*, 12> cmd{};
    std::array<QLineEdit*, 12> TxtCMD{};
    QLineEdit* cmdEntry = nullptr;
    QLineEdit* retString = nullptr;
};
QList<ControlRow> InformationPageRows(InformationControls& c);

class InformationPage : public Page, public InformationControls {
    Q_OBJECT
public:
    InformationPage(const TabPage& tab, BoardInformation& information, TestConsole& console,
                    QWidget* parent);

    void Shown() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BoardInformation& information_;
    TestConsole& console_;
    void cmdEntry_KeyPress(std::int16_t KeyAscii);

    QPalette normalPalette_;
};
