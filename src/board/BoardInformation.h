#pragma once
// The board's identity: its chip identifier with the decoded part name and
// revision, its firmware version and the twelve entries of its command table.
// Each text goes out as BoxFilled with the name of the box that shows it.
#include "link/BoardLink.h"

#include <QObject>
#include <QString>

class BoardInformation : public QObject {
    Q_OBJECT
public:
    explicit BoardInformation(BoardLink& link, QObject* parent = nullptr);

    // Fourteen exchanges in a row; each reply goes whole into its box.
    void ReadBoardInfo();
    // Part name and revision (TxtCPU_Ver, TxtCPU_Rev) of the chip identifier
    // shown in TxtCPU_ID.
    void DecodeCPUID(const QString& TxtCPU_ID);
    // Empties TxtCPU_ID, TxtCPU_Ver, TxtCPU_Rev and TxtSoftVer, in this order.
    void EmptyIdentityBoxes();

Q_SIGNALS:
    // The box named `box` (TxtCPU_ID, TxtCPU_Ver, TxtCPU_Rev, TxtSoftVer or
    // TxtCMDxx) now shows `text`.
    void BoxFilled(const QString& box, const QString& text);

private:
    BoardLink& link_;
};
