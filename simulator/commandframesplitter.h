#ifndef COMMANDFRAMESPLITTER_H
#define COMMANDFRAMESPLITTER_H

#include <QByteArray>

// How the simulated application firmware splits the bytes it has gathered
// into command frames: six bytes, five of command and a CRC-8 check byte.
// Pure, so that it can be driven without a line; the simulator takes one
// piece at a time from the front of its pending bytes.
//
// What it promises, for any bytes:
//   - a Frame is the first six bytes, and their check byte is right;
//   - a Skip is 1..size bytes that start with no valid frame, and no byte
//     inside it after the first is a command byte that starts a valid frame
//     or one whose six bytes have not all arrived yet;
//   - NeedMore (length 0) only when fewer than six bytes are there.
// So frames plus skipped bytes plus what is left is always the input, in
// order, and what is left is shorter than a frame.
class CommandFrameSplitter
{
public:
    static constexpr int kFrameSize = 6;

    enum Kind
    {
        NeedMore,   // fewer than six bytes: wait for the rest
        Frame,      // the first six bytes are a frame
        Skip,       // the first nLength bytes form no frame
    };

    struct Piece
    {
        Kind eKind;
        int nLength;
    };

    // The piece at the front of pending.
    static Piece Next(const QByteArray &pending);

    // The first bytes of the firmware's commands (C0 C1 C8 C9 CC CD D1).
    static bool IsCommandByte(char c);
    // Six bytes from nAt on whose last is the CRC-8 of the five before it.
    static bool HasValidCrc(const QByteArray &bytes, int nAt);
};

#endif // COMMANDFRAMESPLITTER_H
