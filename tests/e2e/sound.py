"""Reads the sound the player wrote with ao=pcm and tells which tone it is."""

import math
import struct


def read_wave(path):
    """Returns (rate, samples of the first channel as floats) of a WAV file
    that may still be being written (its sizes are then not yet filled in)."""
    try:
        with open(path, "rb") as file:
            data = file.read()
    except FileNotFoundError:
        return 0, []
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return 0, []
    position, fmt = 12, None
    while position + 8 <= len(data):
        chunk, size = data[position:position + 4], struct.unpack("<I", data[position + 4:position + 8])[0]
        body = position + 8
        if chunk == b"fmt ":
            fmt = list(struct.unpack("<HHIIHH", data[body:body + 16]))
            if fmt[0] == 0xFFFE and size >= 40:  # extensible: the sub-format holds the tag
                fmt[0] = struct.unpack("<H", data[body + 24:body + 26])[0]
        elif chunk == b"data" and fmt:
            tag, channels, rate, _, block, bits = fmt
            frames = (len(data) - body) // block
            samples = []
            for i in range(frames):
                offset = body + i * block
                if bits == 16:
                    samples.append(struct.unpack("<h", data[offset:offset + 2])[0] / 32768.0)
                elif bits == 32 and tag == 3:
                    samples.append(struct.unpack("<f", data[offset:offset + 4])[0])
                elif bits == 32:
                    samples.append(struct.unpack("<i", data[offset:offset + 4])[0] / 2147483648.0)
            return rate, samples
        position = body + size + (size & 1)
    return 0, []


def tone_power(samples, rate, frequency):
    """Goertzel: how strongly one frequency is present."""
    coefficient = 2 * math.cos(2 * math.pi * frequency / rate)
    s1 = s2 = 0.0
    for sample in samples:
        s1, s2 = sample + coefficient * s1 - s2, s1
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2


def strongest_tone(path, candidates, seconds=1.0):
    """The candidate frequency that dominates the last `seconds` of sound,
    and the sound's loudness (RMS); (None, 0) while there is too little."""
    rate, samples = read_wave(path)
    if not rate or len(samples) < rate * seconds:
        return None, 0.0
    tail = samples[-int(rate * seconds):]
    loudness = math.sqrt(sum(s * s for s in tail) / len(tail))
    best = max(candidates, key=lambda f: tone_power(tail, rate, f))
    return best, loudness
