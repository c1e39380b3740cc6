#ifndef DEVICECHECKSUMS_H
#define DEVICECHECKSUMS_H

#include <QByteArray>
#include <cstdint>

// The device's own check sums, computed bit by bit and independently of the
// program's table-driven code, so that the simulator judges what the host
// really put on the wire.
class DeviceChecksums
{
public:
    // CRC-8/MAXIM-DOW: reflected polynomial 0x8C, initial 0, no final XOR.
    // Check value over "123456789": 0xA1.
    static uint8_t Crc8(const QByteArray &bytes);

    // CRC-16/XMODEM: polynomial 0x1021, initial 0, not reflected, no final
    // XOR. Check value over "123456789": 0x31C3.
    static uint16_t Crc16(const QByteArray &bytes);
};

#endif // DEVICECHECKSUMS_H
