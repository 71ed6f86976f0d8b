#include "link/BoardLink.h"

using usb::UsbObject;

BoardLink::BoardLink(usb::UsbBackend& backend, QObject* parent)
    : QObject(parent), receive_(*this), exchange_(*this, receive_), discovery_(*this, backend)
{
    connect(&discovery_, &BoardDiscovery::StatusBoxChanged, this, &BoardLink::StatusBoxChanged);
    connect(&discovery_, &BoardDiscovery::CaptionChanged, this, &BoardLink::CaptionChanged);
    connect(&discovery_, &BoardDiscovery::IdentityBoxesEmptied, this,
            &BoardLink::IdentityBoxesEmptied);
    connect(&discovery_, &BoardDiscovery::StatusMessage, this, &BoardLink::MessageBoxRequested);
    connect(&exchange_, &CommandExchange::StatusMessage, this, &BoardLink::MessageBoxRequested);
    connect(&exchange_, &CommandExchange::ReplyWaitEnded, this, &BoardLink::ReplyWaitEnded);
    connect(&receive_, &ReceivePath::ConsoleAppended, this, &BoardLink::ConsoleAppended);
    connect(&receive_, &ReceivePath::ConsoleEmptied, this, &BoardLink::ConsoleEmptied);
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
    return 0;
}

void BoardLink::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageBoxRequested(StatusTextOf(*this, status));
}
