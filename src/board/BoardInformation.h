#pragma once
// The board's identity: its chip identifier with the decoded part name and
// revision, its firmware version and the twelve entries of its command table,
// each given out as soon as its reply is in.
#include "link/BoardLink.h"

#include <QObject>
#include <QString>
#include <array>

// What the board says of itself; an empty field is not read yet, or emptied.
struct BoardIdentity {
    enum Field { ChipId, Part, Revision, Firmware, FieldCount };
    // ChipId: the chip identification register, as the board sends it; Part and
    // Revision: decoded from it ("AT91SAM7S256", "Rev A"; "UNKNOWN", "Rev X");
    // Firmware: the firmware version text.
    std::array<QString, FieldCount> text;

    const QString& operator[](Field field) const { return text[field]; }
};

class BoardInformation : public QObject {
    Q_OBJECT
public:
    explicit BoardInformation(BoardLink& link, QObject* parent = nullptr);

    // Fourteen exchanges in a row; each reply is given out whole.
    void ReadBoardInfo();
    // Part name and revision of a chip identifier.
    void DecodeCPUID(const QString& chipId);
    // Empties the chip identifier, part, revision and firmware, in this order.
    void EmptyIdentity();
    const BoardIdentity& Identity() const { return identity_; }

Q_SIGNALS:
    // `field` of the identity has changed (filled or emptied).
    void IdentityChanged(BoardIdentity::Field field, const BoardIdentity& identity);
    // Entry `index` of the command table (code CommandTableCodes[index]) was read.
    void CommandTableEntryRead(int index, const QString& entry);

private:
    void Set(BoardIdentity::Field field, const QString& text);

    BoardLink& link_;
    BoardIdentity identity_;
};
