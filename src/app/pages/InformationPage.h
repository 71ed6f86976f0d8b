#pragma once
// "Information": the board's identity and its command table, read each time
// the tab is shown. A click on a "COMMAND xx" caption copies its entry into
// the command entry; Enter there sends it to the board and shows the reply.
#include "app/pages/Page.h"

#include <QHash>
#include <QPalette>

class BoardInformation;
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
    QHash<QString, QLineEdit*> boxes_; // the boxes the board's texts fill, by name
    QLineEdit* cmdEntry;
    QLineEdit* retString;
    QPalette normalPalette_;
};
