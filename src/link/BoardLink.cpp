#include "link/BoardLink.h"

using usb::UsbObject;

BoardLink::BoardLink(usb::UsbBackend& backend, QObject* parent)
    : QObject(parent), receive_(*this), exchange_(*this, receive_), filePipes_(*this),
      discovery_(*this, backend)
{
    connect(&discovery_, &BoardDiscovery::StatusBoxChanged, this, &BoardLink::StatusBoxChanged);
    connect(&discovery_, &BoardDiscovery::CaptionChanged, this, &BoardLink::CaptionChanged);
    connect(&discovery_, &BoardDiscovery::IdentityLost, this, &BoardLink::IdentityLost);
    connect(&discovery_, &BoardDiscovery::MessageRequested, this, &BoardLink::MessageRequested);
    connect(&discovery_, &BoardDiscovery::Unplugged, this, &BoardLink::Unplugged);
    connect(&discovery_, &BoardDiscovery::Unplugged, &exchange_, &CommandExchange::BoardLeft);
    connect(&exchange_, &CommandExchange::MessageRequested, this, &BoardLink::MessageRequested);
    connect(&exchange_, &CommandExchange::ReplyWaitEnded, this, &BoardLink::ReplyWaitEnded);
    connect(&receive_, &ReceivePath::ConsoleAppended, this, &BoardLink::ConsoleAppended);
    connect(&receive_, &ReceivePath::ConsoleEmptied, this, &BoardLink::ConsoleEmptied);
    connect(&filePipes_, &FilePipeHandlers::MessageRequested, this, &BoardLink::MessageRequested);
}

BoardLink::~BoardLink()
{
    exchange_.Shutdown();
}

std::int32_t BoardLink::CreateObjects()
{
    if (const std::int32_t failure = discovery_.CreateObjects(); failure != 0)
        return failure;
    connect(USBPipeOUT, &UsbObject::WriteComplete, &exchange_,
            &CommandExchange::USBPipeOUT_WriteComplete);
    connect(USBPipeOUT, &UsbObject::WriteStatusAvailable, &exchange_,
            &CommandExchange::USBPipeOUT_WriteStatusAvailable);
    connect(USBPipeIN, &UsbObject::ReadComplete, &receive_, &ReceivePath::USBPipeIN_ReadComplete);
    connect(USBPipeFileIN, &UsbObject::ReadComplete, &filePipes_,
            &FilePipeHandlers::USBPipeFileIN_ReadComplete);
    connect(USBPipeFileOUT, &UsbObject::WriteComplete, &filePipes_,
            &FilePipeHandlers::USBPipeFileOUT_WriteComplete);
    connect(USBPipeFileOUT, &UsbObject::WriteStatusAvailable, &filePipes_,
            &FilePipeHandlers::USBPipeFileOUT_WriteStatusAvailable);
    connect(USBPipeDWNLD, &UsbObject::WriteComplete, &filePipes_,
            &FilePipeHandlers::USBPipeDWNLD_WriteComplete);
    return 0;
}

void BoardLink::BeginPictureCapture()
{
    PictureFill = 0;
    ConsoleQuiet = true;
}

// The stream filled a whole read and the picture is not complete yet: its
// rest is on the way in the next reads.
bool BoardLink::StreamContinues(qsizetype wanted) const
{
    return InReading && USBPipeIN != nullptr && ReplyArrived && PictureFill < wanted &&
           ChunkSize >= InBufferSize;
}

bool BoardLink::AwaitStreamTail(qsizetype wanted, int quietLimitMs)
{
    // The receive path goes on storing the stream's chunks meanwhile.
    while (StreamContinues(wanted) && !ShuttingDown()) {
        ReplyArrived = false;
        if (!AwaitReply(quietLimitMs))
            return false;
    }
    return true;
}

void BoardLink::SendFile(const QByteArray& data)
{
    FileOutBuffer = data;
    FileOutBufferSize = std::int32_t(data.size());
    filePipes_.SendFile();
}

void BoardLink::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageRequested(StatusTextOf(*this, status));
}
