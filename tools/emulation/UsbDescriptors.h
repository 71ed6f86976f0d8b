#pragma once
// The USB descriptors of a virtual board as a real one presents them: the device
// descriptor, then configuration 1 with interface 0 and one bulk endpoint
// descriptor for each endpoint of the board's layout (the "descriptors" file of
// sysfs has exactly this shape).
#include <QByteArray>
#include <QList>
#include <cstdint>

// withSerial: the device descriptor names string SerialIndex as its serial number.
inline constexpr std::uint8_t SerialIndex = 3;
QByteArray UsbDescriptors(std::uint16_t vendorId, std::uint16_t productId,
                          const QList<std::uint8_t>& endpoints, bool withSerial = false);
