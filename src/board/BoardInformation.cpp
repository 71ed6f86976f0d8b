#include "board/BoardInformation.h"

#include "board/ChipTable.h"
#include "board/CommandTable.h"

BoardInformation::BoardInformation(BoardLink& link, QObject* parent) : QObject(parent), link_(link)
{
    connect(&link_, &BoardLink::IdentityBoxesEmptied, this, &BoardInformation::EmptyIdentityBoxes);
}

void BoardInformation::EmptyIdentityBoxes()
{
    for (const char* box : {"TxtCPU_ID", "TxtCPU_Ver", "TxtCPU_Rev", "TxtSoftVer"})
        Q_EMIT BoxFilled(QString::fromLatin1(box), QString());
}

void BoardInformation::ReadBoardInfo()
{
    EmptyIdentityBoxes();
    const QString cpuId = link_.DownLoadCommand(QStringLiteral("C:20"));
    Q_EMIT BoxFilled(QStringLiteral("TxtCPU_ID"), cpuId);
    DecodeCPUID(cpuId);
    Q_EMIT BoxFilled(QStringLiteral("TxtSoftVer"), link_.DownLoadCommand(QStringLiteral("C:21")));
    for (const char* code : CommandTableCodes) {
        Q_EMIT BoxFilled(CommandTableBoxName(code),
                         link_.DownLoadCommand(CommandTableReadCommand(code)));
    }
}

void BoardInformation::DecodeCPUID(const QString& TxtCPU_ID)
{
    const ChipInfo info = DecodeChipIdentifier(TxtCPU_ID);
    Q_EMIT BoxFilled(QStringLiteral("TxtCPU_Ver"), info.partName);
    Q_EMIT BoxFilled(QStringLiteral("TxtCPU_Rev"), info.revision);
}
