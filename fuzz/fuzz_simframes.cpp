// The simulated firmware's split of received bytes into command frames, over
// arbitrary bytes arriving in arbitrary pieces.
//
// The first byte seeds how the rest is cut into arrivals (0: all at once);
// the bytes are then split as the simulator splits them, one piece at a time
// from the front of what has arrived and is not yet taken.

#include "fuzz/fuzzcheck.h"
#include "simulator/commandframesplitter.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kFrame = CommandFrameSplitter::kFrameSize;

// CRC-8/MAXIM-DOW bit by bit, written here once more.
uint8_t Crc8(const char *p, int n)
{
    uint8_t crc = 0;
    for (int i = 0; i < n; ++i) {
        crc ^= static_cast<uint8_t>(p[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint8_t>((crc >> 1) ^ 0x8C) : static_cast<uint8_t>(crc >> 1);
    }
    return crc;
}

bool ValidAt(const QByteArray &bytes, int nAt)
{
    return bytes.size() - nAt >= kFrame && Crc8(bytes.constData() + nAt, kFrame - 1) == static_cast<uint8_t>(bytes.at(nAt + kFrame - 1));
}

bool IsCommand(char c)
{
    const uint8_t b = static_cast<uint8_t>(c);
    return b == 0xC0 || b == 0xC1 || b == 0xC8 || b == 0xC9 || b == 0xCC || b == 0xCD || b == 0xD1;
}

struct Split
{
    QList<QPair<int, QByteArray>> frames;   // offset in the input, bytes
    QByteArray taken;                       // frames and skipped bytes, in order
    QByteArray left;                        // not yet taken at the end
};

// Takes pieces from the front of pending until the splitter wants more,
// checking each against the splitter's promises.
void Drain(QByteArray &pending, Split &split)
{
    for (;;) {
        const CommandFrameSplitter::Piece piece = CommandFrameSplitter::Next(pending);
        if (piece.eKind == CommandFrameSplitter::NeedMore) {
            FUZZ_CHECK(piece.nLength == 0 && pending.size() < kFrame, "more is wanted only below six bytes");
            return;
        }
        FUZZ_CHECK(pending.size() >= kFrame, "a piece is taken only from six bytes on");
        FUZZ_CHECK(piece.nLength >= 1 && piece.nLength <= pending.size(), "a piece lies within the bytes");
        if (piece.eKind == CommandFrameSplitter::Frame) {
            FUZZ_CHECK(piece.nLength == kFrame, "a frame is six bytes");
            FUZZ_CHECK(ValidAt(pending, 0), "a frame's check byte is its CRC-8");
            split.frames.append(qMakePair(split.taken.size(), pending.left(kFrame)));
        } else {
            FUZZ_CHECK(piece.eKind == CommandFrameSplitter::Skip, "a piece is a frame or skipped bytes");
            FUZZ_CHECK(!ValidAt(pending, 0), "skipped bytes do not start with a frame");
            for (int i = 1; i < piece.nLength; ++i) {
                FUZZ_CHECK(!(IsCommand(pending.at(i)) && (pending.size() - i < kFrame || ValidAt(pending, i))),
                           "no frame, whole or still arriving, is skipped");
            }
            if (piece.nLength < pending.size()) {
                const int n = piece.nLength;
                FUZZ_CHECK(IsCommand(pending.at(n)) && (pending.size() - n < kFrame || ValidAt(pending, n)),
                           "skipping stops only at a possible frame");
            }
        }
        split.taken += pending.left(piece.nLength);
        pending.remove(0, piece.nLength);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    for (int b = 0; b < 256; ++b) {
        FUZZ_CHECK(CommandFrameSplitter::IsCommandByte(static_cast<char>(b)) == IsCommand(static_cast<char>(b)),
                   "the command bytes are C0 C1 C8 C9 CC CD D1");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    if (nSize == 0 || nSize > 8192)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(pData + 1), static_cast<int>(nSize - 1));

    // All at once.
    Split whole;
    QByteArray pending = input;
    Drain(pending, whole);
    whole.left = pending;

    // In arrivals of 1..16 bytes.
    Split pieces;
    pending.clear();
    uint32_t nSeed = pData[0];
    int nAt = 0;
    while (nAt < input.size()) {
        int nLength = input.size() - nAt;
        if (pData[0] != 0) {
            nSeed = nSeed * 1103515245u + 12345u;
            nLength = qMin(nLength, static_cast<int>((nSeed >> 16) % 16) + 1);
        }
        pending += input.mid(nAt, nLength);
        nAt += nLength;
        Drain(pending, pieces);
        FUZZ_CHECK(pending.size() < kFrame, "less than a frame is held between arrivals");
    }
    pieces.left = pending;

    for (const Split *p : {&whole, &pieces}) {
        FUZZ_CHECK(p->taken + p->left == input, "every byte is taken once, in order, or still held");
        FUZZ_CHECK(p->left.size() < kFrame, "less than a frame is held at the end");
    }

    // No frame that starts with a command byte is lost, however the bytes
    // arrive: each is found or lies inside a frame that was found (six
    // bytes with a right check byte are taken as a frame wherever the held
    // bytes begin, whatever their first byte).
    bool bStrayFrame = false;
    for (const Split *p : {&whole, &pieces}) {
        int nFrame = 0;
        for (int i = 0; i + kFrame <= input.size(); ++i) {
            if (!ValidAt(input, i))
                continue;
            if (!IsCommand(input.at(i))) {
                bStrayFrame = true;
                continue;
            }
            while (nFrame < p->frames.size() && p->frames.at(nFrame).first + kFrame <= i)
                ++nFrame;
            FUZZ_CHECK(nFrame < p->frames.size() && p->frames.at(nFrame).first <= i,
                       "every command frame in the bytes is found or lies inside one found");
        }
    }
    // Where held bytes begin depends on the arrivals only after bytes that
    // were skipped whole; so without such six-byte runs that do not start
    // with a command byte, the frames found are the same for any arrivals.
    if (!bStrayFrame)
        FUZZ_CHECK(whole.frames == pieces.frames, "the frames found do not depend on how the bytes arrived");
    return 0;
}
