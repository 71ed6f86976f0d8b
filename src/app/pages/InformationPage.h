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

class TestConsole;
class QLineEdit;

class InformationPage : public Page {
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

    // TxtCPU_ID, TxtCPU_Ver, TxtCPU_Rev, TxtSoftVer: in the order of the fields.
    std::array<QLineEdit*, BoardIdentity::FieldCount> identityBoxes_;
    std::array<QLineEdit*, CommandTableCodes.size()> commandTableBoxes_{}; // TxtCMDxx
    QLineEdit* cmdEntry;
    QLineEdit* retString;
    QPalette normalPalette_;
};
