#include "link/BoardLink.h"

using usb::UsbObject;

BoardLink::BoardLink(usb::UsbBackend& backend, QObject* parent)
    : QObject(parent), receive_(pipes_), exchange_(pipes_, receive_, [this] { return Linked(); }),
      filePipes_(pipes_), discovery_(pipes_, receive_, filePipes_, backend)
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
    connect(pipes_.USBPipeOUT, &UsbObject::WriteComplete, &exchange_,
            &CommandExchange::USBPipeOUT_WriteComplete);
    connect(pipes_.USBPipeOUT, &UsbObject::WriteStatusAvailable, &exchange_,
            &CommandExchange::USBPipeOUT_WriteStatusAvailable);
    connect(pipes_.USBPipeDWNLD, &UsbObject::WriteComplete, &exchange_,
            &CommandExchange::USBPipeDWNLD_WriteComplete);
    connect(pipes_.USBPipeIN, &UsbObject::ReadComplete, &receive_,
            &ReceivePath::USBPipeIN_ReadComplete);
    connect(pipes_.USBPipeFileIN, &UsbObject::ReadComplete, &filePipes_,
            &FilePipeHandlers::USBPipeFileIN_ReadComplete);
    connect(pipes_.USBPipeFileOUT, &UsbObject::WriteComplete, &filePipes_,
            &FilePipeHandlers::USBPipeFileOUT_WriteComplete);
    connect(pipes_.USBPipeFileOUT, &UsbObject::WriteStatusAvailable, &filePipes_,
            &FilePipeHandlers::USBPipeFileOUT_WriteStatusAvailable);
    return 0;
}

void BoardLink::StartLink()
{
    discovery_.StartLink();
    // Nothing is awaited at start: whatever comes first counts as a reply.
    exchange_.MarkReplyArrived();
}

void BoardLink::SetChunkSink(ChunkSink* sink)
{
    receive_.SetChunkSink(sink);
    filePipes_.SetChunkSink(sink);
}

void BoardLink::BeginPictureCapture()
{
    receive_.RestartPictureFill();
    receive_.SetConsoleQuiet(true);
}

// The stream filled a whole read and the picture is not complete yet: its
// rest is on the way in the next reads.
bool BoardLink::StreamContinues(qsizetype wanted) const
{
    return receive_.Reading() && pipes_.USBPipeIN != nullptr && exchange_.ReplyHasArrived() &&
           receive_.Fill() < wanted && receive_.LastReadSize() >= ReceivePath::InBufferSize;
}

bool BoardLink::AwaitStreamTail(qsizetype wanted, int quietLimitMs)
{
    // The receive path goes on storing the stream's chunks meanwhile.
    while (StreamContinues(wanted) && !ShuttingDown()) {
        if (!exchange_.AwaitNextChunk(quietLimitMs))
            return false;
    }
    return true;
}

void BoardLink::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageRequested(StatusTextOf(pipes_, status));
}
