#pragma once
// Status words of the USB component. Every operation returns one: 0 is success,
// StatusNoData and StatusQueueFull are flow signals, everything else is a failure
// whose text StatusText() gives.
#include <QString>
#include <cstdint>

namespace usb {

using Status = std::int32_t;

constexpr Status MakeStatus(std::uint32_t code)
{
    return static_cast<Status>(code);
}

inline constexpr Status StatusSuccess = 0;
inline constexpr Status StatusNoDevice = MakeStatus(0xE000A001);       // no board with the ids
inline constexpr Status StatusBusy = MakeStatus(0xE000A002);           // another program holds it
inline constexpr Status StatusAccessDenied = MakeStatus(0xE000A003);   // no permission
inline constexpr Status StatusNoEndpoint = MakeStatus(0xE000A004);     // interface lacks endpoint
inline constexpr Status StatusNoData = MakeStatus(0xE000A005);         // FetchData: queue empty
inline constexpr Status StatusNotBound = MakeStatus(0xE000A006);       // pipe has no endpoint
inline constexpr Status StatusTransferFailed = MakeStatus(0xE000A007); // a transfer failed
inline constexpr Status StatusDeviceGone = MakeStatus(0xE000A008);     // unplugged
inline constexpr Status StatusQueueFull = MakeStatus(0xE000A009);      // QueueData: no free buffer
inline constexpr Status StatusBadArgument = MakeStatus(0xE000A00A);
inline constexpr Status StatusNotAttached = MakeStatus(0xE000A00B); // AttachDevice not done
inline constexpr Status StatusNoInterface = MakeStatus(0xE000A00C); // interface not claimed
inline constexpr Status StatusNotActive = MakeStatus(0xE000A00D);   // pipe not reading/writing
inline constexpr Status StatusTimeout = MakeStatus(0xE000A00E);
inline constexpr Status StatusNoMemory = MakeStatus(0xE000A00F);
inline constexpr Status StatusNotSupported = MakeStatus(0xE000A010);
inline constexpr Status StatusInternal = MakeStatus(0xE000A011);
inline constexpr Status StatusStalled = MakeStatus(0xE000A012);  // endpoint halted
inline constexpr Status StatusOverflow = MakeStatus(0xE000A013); // more data than asked for

// What happened and what the user can do about it.
QString StatusText(Status status);

// Every failure status above, in code order (for tests that go through all of them).
const Status* FailureStatuses(int& count);

} // namespace usb
