#!/usr/bin/env python3
"""Writes the meter's two sound clips as RIFF WAVE files.

    python3 scripts/make_sounds.py [output-dir]   (default: resources/sounds)

quality_fair.wav  PCM mono 11025 Hz 8-bit, 5167 bytes of sample data:
                  one soft 880 Hz beep.
quality_good.wav  PCM stereo 22050 Hz 16-bit, 55684 bytes of sample data:
                  a rising two-note chime (660 Hz, then 990 Hz).

The header is written by hand rather than with the wave module so that the
chunk sizes, including the pad byte after an odd-sized data chunk, are exactly
what the program expects. The output is the same on every run.
"""
import math
import os
import struct
import sys


def envelope(i, n, attack, release):
    """Linear fade in and out, so the clips start and end without a click."""
    a = min(1.0, i / attack) if attack else 1.0
    r = min(1.0, (n - 1 - i) / release) if release else 1.0
    return max(0.0, min(a, r))


def riff_wave(channels, rate, bits, data):
    block_align = channels * bits // 8
    fmt = struct.pack('<HHIIHH', 1, channels, rate, rate * block_align, block_align, bits)
    pad = b'\x00' if len(data) % 2 else b''
    body = (b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
            + b'data' + struct.pack('<I', len(data)) + data + pad)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def fair_clip():
    rate, count = 11025, 5167  # one byte per sample
    out = bytearray()
    for i in range(count):
        v = 0.45 * envelope(i, count, 200, 1500) * math.sin(2 * math.pi * 880 * i / rate)
        out.append(max(0, min(255, int(round(128 + 127 * v)))))  # 8-bit PCM is unsigned
    return riff_wave(1, rate, 8, bytes(out))


def good_clip():
    rate, size = 22050, 55684
    frames = size // 4  # two channels of 16 bits
    half = frames // 2
    out = bytearray()
    for i in range(frames):
        if i < half:
            f, j, n = 660, i, half
        else:
            f, j, n = 990, i - half, frames - half
        v = 0.4 * envelope(j, n, 150, 2500) * math.sin(2 * math.pi * f * j / rate)
        s = int(round(32767 * v))
        out += struct.pack('<hh', s, s)
    assert len(out) == size
    return riff_wave(2, rate, 16, bytes(out))


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'sounds')
    os.makedirs(target, exist_ok=True)
    for name, data in (('quality_fair.wav', fair_clip()), ('quality_good.wav', good_clip())):
        with open(os.path.join(target, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
