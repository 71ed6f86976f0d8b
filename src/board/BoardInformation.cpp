#include "board/BoardInformation.h"

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "board/ChipTable.h"
#include "board/CommandTable.h"

#include <QLineEdit>

BoardInformation::BoardInformation(MainWindow& window)
    : QObject(&window), window_(window), TxtCPU_ID(Control<QLineEdit>(window, "TxtCPU_ID")),
      TxtCPU_Ver(Control<QLineEdit>(window, "TxtCPU_Ver")),
      TxtCPU_Rev(Control<QLineEdit>(window, "TxtCPU_Rev")),
      TxtSoftVer(Control<QLineEdit>(window, "TxtSoftVer"))
{
    for (std::size_t k = 0; k < CommandTableCodes.size(); ++k) {
        commandBoxes_[k] = Control<QLineEdit>(
            window, CommandTableBoxName(CommandTableCodes[k]).toLatin1().constData());
    }
    connect(&window_.Link, &BoardLink::IdentityBoxesEmptied, this,
            &BoardInformation::EmptyIdentityBoxes);
}

void BoardInformation::EmptyIdentityBoxes()
{
    TxtCPU_ID->clear();
    TxtCPU_Ver->clear();
    TxtCPU_Rev->clear();
    TxtSoftVer->clear();
}

void BoardInformation::ReadBoardInfo()
{
    EmptyIdentityBoxes();
    ShowFromStart(TxtCPU_ID, window_.Link.DownLoadCommand(QStringLiteral("C:20")));
    DecodeCPUID();
    ShowFromStart(TxtSoftVer, window_.Link.DownLoadCommand(QStringLiteral("C:21")));
    for (std::size_t k = 0; k < CommandTableCodes.size(); ++k) {
        ShowFromStart(commandBoxes_[k],
                      window_.Link.DownLoadCommand(CommandTableReadCommand(CommandTableCodes[k])));
    }
}

void BoardInformation::DecodeCPUID()
{
    const ChipInfo info = DecodeChipIdentifier(TxtCPU_ID->text());
    ShowFromStart(TxtCPU_Ver, info.partName);
    ShowFromStart(TxtCPU_Rev, info.revision);
}
