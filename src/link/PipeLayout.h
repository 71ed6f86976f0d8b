#pragma once
// The board's endpoint layouts. BoardDiscovery tells them apart by trying the
// endpoints in a fixed order; PipeLayoutName does the same on a list of them.
#include <QList>
#include <QString>
#include <cstdint>

namespace endpoints {
// Endpoint addresses (bit 7 set: IN).
inline constexpr std::uint8_t DownloadOut = 0x06;
inline constexpr std::uint8_t CommandOutFull = 0x02;
inline constexpr std::uint8_t CommandOutOnly = 0x01;
inline constexpr std::uint8_t CommandIn = 0x82;    // 130
inline constexpr std::uint8_t CommandInAlt = 0x81; // 129
inline constexpr std::uint8_t FileOut = 0x04;
inline constexpr std::uint8_t FileIn = 0x84;
} // namespace endpoints

// "download" (endpoint 6), "full" (2 and 130, with the file pipes 4 and 132),
// "command" (1 and 130), "command-129" (1 and 129), or "none" when the
// endpoints make no layout the program can bind.
QString PipeLayoutName(const QList<std::uint8_t>& addresses);

// True when the endpoints are exactly one of the board's layouts: endpoint 6
// alone, 2 and 130 with 4 and 132, or 1 with 130 or 129. A device with other
// ids is a candidate only then; a bulk pair of 2 and 130 alone is common.
bool IsBoardLayout(const QList<std::uint8_t>& addresses);
