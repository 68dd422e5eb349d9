#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_recording into corpus/recording/."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "recording")
MAGIC = b"QVREC\r\n\x1a\n"


def header(version=1, size=29, start=1796738592000000, baud=57600, line=(8, 0, 0, 0)):
    return MAGIC + struct.pack("<HHqI4B", version, size, start, baud, *line)


def record(time_us, data):
    return struct.pack("<QI", time_us, len(data)) + data


def maxima(*m):
    return b"MUXA#Maxima" + struct.pack("<4H", *m) + b"End_Data"


scan = header() + record(0, maxima(90, 91, 92, 93)[:10]) + record(1500, maxima(90, 91, 92, 93)[10:]) \
    + record(40000, maxima(1, 2, 3, 4) * 3) + record(41000, b"MUXA#Channel\x02" + b"\x00" * 7 + b"003"
                                                     + b"\x00" * 11 + b"\x01\x00\x02\x00\x03\x00End_Data")
seeds = {
    "scan.qvrec": scan,
    "cut.qvrec": scan[:-5],
    "backwards.qvrec": header() + record(500, b"ab") + record(100, b"cd"),
    "version2.qvrec": header(version=2) + record(0, b"x"),
    "long-header.qvrec": header(size=33) + b"xtra" + record(7, maxima(5, 6, 7, 8)),
    "raw.bin": maxima(10, 20, 30, 40) * 2 + b"junk",
}
os.makedirs(here, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
