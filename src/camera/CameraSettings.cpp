#include "camera/CameraSettings.h"

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "camera/CameraCommands.h"

#include <QAbstractButton>
#include <QComboBox>

CameraSettings::CameraSettings(MainWindow& window)
    : QObject(&window), window_(window), lstBaud(Control<QComboBox>(window, "lstBaud"))
{
    for (int index = 0; index <= 10; ++index) {
        const QByteArray name = "Option1_" + QByteArray::number(index);
        connect(Control<QAbstractButton>(window, name.constData()), &QAbstractButton::clicked,
                this, [this, index] { Option1_Click(index); });
    }
    connect(lstBaud, &QComboBox::activated, this, &CameraSettings::lstBaud_Click);
    connect(Control<QAbstractButton>(window, "cmdSpiReset"), &QAbstractButton::clicked, this,
            &CameraSettings::cmdSpiReset_Click);
}

void CameraSettings::Option1_Click(int Index)
{
    if (const std::optional<QString> command = PictureSizeCommand(Index))
        window_.Link.DownLoadCommand(*command);
}

void CameraSettings::lstBaud_Click()
{
    window_.Link.DownLoadCommand(UartSpeedCommand(lstBaud->currentIndex()));
}

void CameraSettings::cmdSpiReset_Click()
{
    window_.Link.DownLoadCommand(SpiResetCommand());
}
