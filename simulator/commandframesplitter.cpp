#include "simulator/commandframesplitter.h"

#include "simulator/devicechecksums.h"

bool CommandFrameSplitter::IsCommandByte(char c)
{
    switch (static_cast<uint8_t>(c)) {
    case 0xC0: case 0xC1: case 0xC8: case 0xC9: case 0xCC: case 0xCD: case 0xD1:
        return true;
    default:
        return false;
    }
}

bool CommandFrameSplitter::HasValidCrc(const QByteArray &bytes, int nAt)
{
    return bytes.size() - nAt >= kFrameSize
        && DeviceChecksums::Crc8(bytes.mid(nAt, kFrameSize - 1)) == static_cast<uint8_t>(bytes.at(nAt + kFrameSize - 1));
}

CommandFrameSplitter::Piece CommandFrameSplitter::Next(const QByteArray &pending)
{
    if (pending.size() < kFrameSize)
        return {NeedMore, 0};
    if (HasValidCrc(pending, 0))
        return {Frame, kFrameSize};
    // A damaged frame or stray bytes: resynchronise on the next byte that
    // can start a frame and is not followed by a bad check byte.
    int nStart = 1;
    while (nStart < pending.size()
           && !(IsCommandByte(pending.at(nStart))
                && (pending.size() - nStart < kFrameSize || HasValidCrc(pending, nStart))))
        ++nStart;
    return {Skip, nStart};
}
