#include "camera/CameraSettings.h"

#include "link/BoardLink.h"
#include "link/BoardProtocol.h"

CameraSettings::CameraSettings(BoardLink& link, QObject* parent) : QObject(parent), link_(link) {}

void CameraSettings::SetPictureSize(int index)
{
    if (const std::optional<QString> command = PictureSizeCommand(index))
        link_.DownLoadCommand(*command);
}

void CameraSettings::SetUartSpeed(int listIndex)
{
    link_.DownLoadCommand(UartSpeedCommand(listIndex));
}

void CameraSettings::ResetSpi()
{
    link_.DownLoadCommand(SpiResetCommand());
}
