"""The files the build writes: 24-bit BMPs, raw RGBA for the zga tool, and text written only when changed."""

import os
import struct

import numpy as np


def bmp_bytes(rgb):
    """An uncompressed 24-bit bottom-up BMP of an (h, w, 3) RGB array."""
    h, w = rgb.shape[:2]
    stride = (w * 3 + 3) & ~3
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, : w * 3] = rgb[::-1, :, ::-1].reshape(h, w * 3)
    pixels = rows.tobytes()
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def rgba_bytes(rgba):
    """The zga tool's input: width and height as 32-bit little-endian, then rows of R, G, B, A."""
    h, w = rgba.shape[:2]
    return struct.pack("<II", w, h) + np.ascontiguousarray(rgba, dtype=np.uint8).tobytes()


def write(path, data):
    """Writes through a temporary beside the file; a file that already holds the bytes is left alone, so
    nothing that depends on it is rebuilt."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    except OSError:
        pass
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)
    return True


def touch(path):
    """Marks a step done: the stamp's time says when the step last ran."""
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb"):
        pass
    os.utime(path)


def double(array):
    """Every pixel as a 2 x 2 block."""
    return np.repeat(np.repeat(array, 2, axis=0), 2, axis=1)
