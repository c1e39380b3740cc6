#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

Each seed is a small, meaningful input: real device replies, record streams,
command bytes as the host sends them, and whole YMODEM exchanges as a
receiver answers them. Files named seed-* are rewritten; everything else in
the folders (the inputs of past crashes, kept as regress-*) stays.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def crc8(data):
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = ((crc >> 1) ^ 0x8C) if crc & 1 else crc >> 1
    return crc


def frame(hex5):
    body = bytes.fromhex(hex5)
    return body + bytes([crc8(body)])


# Reply decoders: the bytes as they come off the line (the target also reads
# them as text).
T = "fuzz_replydecoders"
write(T, "version", bytes.fromhex("C8010A"))
write(T, "version-after-garbage", bytes.fromhex("00FFC8020C"))
write(T, "serial", bytes.fromhex("CC0812345600"))
write(T, "serial-after-stale-byte", bytes.fromhex("0ACC08123456"))
write(T, "count", b"Count:20")
write(T, "count-blanks", b"Count:  1234 \r\n")
write(T, "count-utf8-label", "Zähler:7".encode("utf-8"))
write(T, "boot-cs", b"CCCC")
write(T, "boot-banner", b"\r\nBoot loader V1.2 (C) Kestrel Devices Corp.\r\nC")
write(T, "echo", frame("C0AAAAAAAA"))
write(T, "refusal", b"Invalid Number\r\n")

# Report formatter: first byte odd = the stream as it is; even = one piece
# per byte (see fuzz_reportformatter.cpp).
T = "fuzz_reportformatter"
records = b"".join(b"%04d 2026-12-08 POWER_ON %d\n\r" % (i, 200 + i) for i in range(1, 6))
write(T, "records-lfcr", b"\x01" + records)
write(T, "records-lf", b"\x01" + records.replace(b"\n\r", b"\n"))
write(T, "invalid-records", b"\x01" + b"0001 a\n\rAn invalid record.\n\r0002 b\n\rAn invalid record.\n\r")
write(T, "blank-lines", b"\x01" + b"a b\n\n\nc\n\r\n\rAn invalid record.")
write(T, "pieces", b"\x00" + bytes([10, 0, 3, 5, 10, 3, 9, 1, 4, 6, 1, 7, 8, 14, 5]))

# Simulator frames: first byte seeds the arrivals (0 = all at once).
T = "fuzz_simframes"
commands = ["C0AAAAAAAA", "C1AAAAAAAA", "C8AAAAAAAA", "CC55AAAAAA", "D1AAAAAAAA", "CD34AAAAAA", "C955AAAAAA"]
write(T, "all-commands", b"\x00" + b"".join(frame(c) for c in commands))
write(T, "all-commands-trickled", b"\x07" + b"".join(frame(c) for c in commands))
write(T, "garbage-then-frame", b"\x03" + bytes.fromhex("00FF13C0") + frame("C8AAAAAAAA"))
write(T, "bad-check-then-frame", b"\x00" + bytes.fromhex("C0AAAAAAAAD5") + frame("C0AAAAAAAA"))
write(T, "frame-cut-short", b"\x05" + frame("CC55AAAAAA")[:4] + frame("D1AAAAAAAA"))
write(T, "boot-menu-choice", b"\x00" + b"1" + frame("C0AAAAAAAA"))

# YMODEM: nine set-up bytes (see fuzz_ymodem.cpp), then the receiver's bytes.
T = "fuzz_ymodem"
C, ACK, NAK, CAN = b"C", b"\x06", b"\x15", b"\x18"


def setup(size_code, pace=0, refuse=0xFF, bad=0xFF, abort=0, divisor=4, timeouts=2, errors=5):
    return bytes([divisor, timeouts, errors]) + struct.pack("<H", size_code) + bytes([pace, refuse, bad, abort])


# A 2500-byte file is three data blocks: the receiver as the boot loader
# answers (ACK and C to the header, ACK to data, NAK then ACK to the EOTs,
# C, ACK to the closing header).
whole = C + ACK + C + ACK + ACK + ACK + NAK + ACK + C + ACK
write(T, "exchange-2500", setup(2500) + whole)
write(T, "exchange-2500-trickled", setup(2500, pace=1) + whole)
write(T, "exchange-100", setup(100) + C + ACK + C + ACK + NAK + ACK + C + ACK)
write(T, "exchange-empty-file", setup(0) + C + ACK + C + NAK + ACK + C + ACK)
write(T, "nak-on-block-2", setup(2500) + C + ACK + C + ACK + NAK + ACK + ACK + NAK + ACK + C + ACK)
write(T, "lost-c-after-header", setup(2500) + C + ACK + NAK + ACK + ACK + ACK + NAK + ACK + C + ACK)
write(T, "repeated-c", setup(2500) + C + C + C + ACK + C + ACK + ACK + ACK + NAK + ACK + C + ACK)
write(T, "cancel-in-data", setup(2500) + C + ACK + C + ACK + CAN + CAN)
write(T, "letter-a-at-end", setup(100) + C + ACK + C + ACK + NAK + ACK + C + b"a")
write(T, "silence", setup(2500))
write(T, "noise-then-exchange", setup(2500, pace=2) + b"\x00\x7fx" + whole)
write(T, "receiver-packet", setup(300) + C + ACK + C + b"\x01\x09\xf6" + b"ACK" + bytes(127) + ACK + NAK + ACK + C + ACK)
write(T, "refused-second-block", setup(2500, refuse=2) + whole)
write(T, "length-no-block-carries", setup(2500, bad=1) + whole)
write(T, "aborted", setup(2500, abort=5) + whole)
# 257 data blocks: block numbers wrap from 255 to 0.
write(T, "block-numbers-wrap", setup(0xF001) + C + ACK + C + ACK * 257 + NAK + ACK + C + ACK)
