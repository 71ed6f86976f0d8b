#pragma once
// The bulk side of the board link: what arrives on the file input pipe is saved
// to a file, the file output pipe sends FileOutBuffer, and the download pipe
// re-queues the command block.
#include "link/BoardLink.h"

#include <QObject>
#include <QString>
#include <functional>

class FilePipes : public QObject {
    Q_OBJECT
public:
    // readFilePath gives the file that receives the file input pipe's data.
    FilePipes(BoardLink& link, std::function<QString()> readFilePath, QObject* parent = nullptr);

    // Sends FileOutBuffer on USBPipeFileOUT, again and again up to the buffer
    // count, until the first write status of 0 or the first error.
    void SendFile();
    void StopFileOutPipe();
    void USBPipeFileIN_ReadComplete(usb::UsbObject* Obj);
    void USBPipeFileOUT_WriteComplete(usb::UsbObject* Obj);
    void USBPipeFileOUT_WriteStatusAvailable(usb::UsbObject* Obj);
    void USBPipeDWNLD_WriteComplete(usb::UsbObject* Obj);

private:
    BoardLink& link_;
    std::function<QString()> readFilePath_;
};

// Two upper-case hexadecimal characters for a byte: 10 gives "0A", 255 "FF".
QString NumToHex(const std::uint8_t& value);
