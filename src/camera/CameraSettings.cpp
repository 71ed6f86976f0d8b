#include "camera/CameraSettings.h"

#include "camera/CameraCommands.h"
#include "link/BoardLink.h"

CameraSettings::CameraSettings(BoardLink& link, QObject* parent) : QObject(parent), link_(link) {}

void CameraSettings::Option1_Click(int Index)
{
    if (const std::optional<QString> command = PictureSizeCommand(Index))
        link_.DownLoadCommand(*command);
}

void CameraSettings::lstBaud_Click(int ListIndex)
{
    link_.DownLoadCommand(UartSpeedCommand(ListIndex));
}

void CameraSettings::cmdSpiReset_Click()
{
    link_.DownLoadCommand(SpiResetCommand());
}
