#pragma once
// The "Information" page: the board's chip identifier with its decoded part name
// and revision, its firmware version and the twelve entries of its command table.
#include <QObject>
#include <array>

class MainWindow;
class QLineEdit;

class BoardInformation : public QObject {
    Q_OBJECT
public:
    explicit BoardInformation(MainWindow& window);

    // Fourteen exchanges in a row; each reply goes whole into its box.
    void ReadBoardInfo();
    // Part name and revision from the text of TxtCPU_ID.
    void DecodeCPUID();
    // Empties TxtCPU_ID, TxtCPU_Ver, TxtCPU_Rev and TxtSoftVer, in this order.
    void EmptyIdentityBoxes();

private:
    MainWindow& window_;
    QLineEdit* TxtCPU_ID;
    QLineEdit* TxtCPU_Ver;
    QLineEdit* TxtCPU_Rev;
    QLineEdit* TxtSoftVer;
    std::array<QLineEdit*, 12> commandBoxes_{};
};
