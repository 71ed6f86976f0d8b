#pragma once
// The board link's state as it stands, for tests and fuzzers to look at.
#include "link/BoardLink.h"

struct LinkProbe {
    static const LinkState& Of(const BoardLink& link) { return link; }
};

inline const LinkState& State(const BoardLink& link)
{
    return LinkProbe::Of(link);
}
