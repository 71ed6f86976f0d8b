#include "UsbDescriptors.h"

namespace {

void Word(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

} // namespace

QByteArray UsbDescriptors(std::uint16_t vendorId, std::uint16_t productId,
                          const QList<std::uint8_t>& endpoints, bool withSerial)
{
    QByteArray d;
    // Device: USB 2.0, vendor class, 8-byte control packets, one configuration.
    d.append(char(18));
    d.append(char(1));
    Word(d, 0x0200);
    d.append(char(0xFF));
    d.append(char(0));
    d.append(char(0));
    d.append(char(8));
    Word(d, vendorId);
    Word(d, productId);
    Word(d, 0x0127);
    d.append(char(0));
    d.append(char(0));
    d.append(char(withSerial ? SerialIndex : 0));
    d.append(char(1));

    // Configuration 1: one interface, bus powered, 100 mA.
    const int total = 9 + 9 + 7 * int(endpoints.size());
    d.append(char(9));
    d.append(char(2));
    Word(d, total);
    d.append(char(1));
    d.append(char(1));
    d.append(char(0));
    d.append(char(0x80));
    d.append(char(50));

    // Interface 0, setting 0, vendor class.
    d.append(char(9));
    d.append(char(4));
    d.append(char(0));
    d.append(char(0));
    d.append(char(endpoints.size()));
    d.append(char(0xFF));
    d.append(char(0));
    d.append(char(0));
    d.append(char(0));

    // Bulk endpoints of a full-speed device: 64-byte packets.
    for (std::uint8_t address : endpoints) {
        d.append(char(7));
        d.append(char(5));
        d.append(char(address));
        d.append(char(2));
        Word(d, 64);
        d.append(char(0));
    }
    return d;
}
