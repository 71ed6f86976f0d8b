#pragma once
// What the parts of a board link keep, for tests and fuzzers to look at.
#include "link/BoardLink.h"

struct LinkProbe {
    const BoardLink& link;
    const CommandExchange& Exchange() const { return link.exchange_; }
    const ReceivePath& Receive() const { return link.receive_; }
    const FilePipeHandlers& FilePipes() const { return link.filePipes_; }
};

inline LinkProbe Probe(const BoardLink& link)
{
    return LinkProbe{link};
}
