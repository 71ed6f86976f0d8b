#include "board/BoardInformation.h"

#include "board/ChipTable.h"
#include "link/BoardProtocol.h"

BoardInformation::BoardInformation(BoardLink& link, QObject* parent) : QObject(parent), link_(link)
{
    connect(&link_, &BoardLink::IdentityLost, this, &BoardInformation::EmptyIdentity);
}

void BoardInformation::EmptyIdentity()
{
    for (int field = 0; field < BoardIdentity::FieldCount; ++field)
        Set(BoardIdentity::Field(field), QString());
}

void BoardInformation::ReadBoardInfo()
{
    EmptyIdentity();
    const QString chipId = link_.DownLoadCommand(ReadChipIdCommand());
    Set(BoardIdentity::ChipId, chipId);
    DecodeCPUID(chipId);
    Set(BoardIdentity::Firmware, link_.DownLoadCommand(ReadFirmwareCommand()));
    for (int index = 0; index < int(CommandTableCodes.size()); ++index) {
        Q_EMIT CommandTableEntryRead(
            index, link_.DownLoadCommand(ReadCommandTableCommand(CommandTableCodes[index])));
    }
}

void BoardInformation::DecodeCPUID(const QString& chipId)
{
    const ChipInfo info = DecodeChipIdentifier(chipId);
    Set(BoardIdentity::Part, info.partName);
    Set(BoardIdentity::Revision, info.revision);
}

void BoardInformation::Set(BoardIdentity::Field field, const QString& text)
{
    identity_.text[field] = text;
    Q_EMIT IdentityChanged(field, identity_);
}
