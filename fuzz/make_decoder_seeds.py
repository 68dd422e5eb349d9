#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_decoder into corpus/decoder/.

An input is one byte n, then (n % 8) + 1 event size codes (code c < 200 means
c + 1 bytes, else (c - 199) * 64 bytes), then the received byte stream."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "decoder")


def maxima(*m):
    return b"\x00\x00MUXA#Maxima" + struct.pack("<4H", *m) + b"End_Data"


def channel(ch, count, samples):
    return (b"MUXA#Channel" + bytes([ch]) + b"\x00" * 7 + count + b"\x00" * 11
            + b"".join(struct.pack("<H", s) for s in samples) + b"End_Data")


def seed(name, codes, stream):
    with open(os.path.join(here, name), "wb") as f:
        f.write(bytes([len(codes) - 1]) + bytes(codes) + stream)


os.makedirs(here, exist_ok=True)
wave = [1000 + (i * 37) % 900 for i in range(260)]
seed("maxima", [63], maxima(10000, 9950, 10020, 9980))
seed("channel-260", [200], channel(2, b"260", wave))
seed("interleaved", [15, 3, 200], maxima(100, 0, 65535, 9999) + channel(0, b"260", wave)
     + maxima(5, 6, 7, 8) + maxima(9, 9, 9, 9) + channel(3, b" 42", wave[:42]))
seed("junk", [0, 9, 201], b"noise\x00End_Data" + bytes(range(256)) + b"MUXA" + b"\xff" * 300 + b"End_Data")
seed("long-frame", [255], b"MUXA" + b"~" * 1990 + channel(1, b"999", wave) + b"x" * 900 + maxima(1, 2, 3, 4))
