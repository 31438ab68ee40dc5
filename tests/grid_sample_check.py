#!/usr/bin/env python3
"""The grids sample on a phone, a double-resolution phone and a tablet.

Frame 1 shows the picture without a grid and frame 2 through a grid that
nobody has moved yet: the two must be the same picture, at every
resolution (a grid drawing into the wrong viewport, or at the wrong
scale, shows it shrunk, shifted or cut). Frame 47 is half-way through the
tiles turning off: about half of the picture is gone there.

usage: grid_sample_check.py SAMPLES
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_support import TestFailure, check, read_png  # noqa: E402

VARIANTS = [("phone", [], (480, 320)), ("retina", ["--retina"], (960, 640)), ("tablet", ["--tablet"], (1024, 768))]


def screenshot(exe, workdir, flags, frames):
    path = os.path.join(workdir, f"frame{frames}.png")
    run = subprocess.run([exe, '--headless', '--sample', 'grids', '--frames', str(frames), '--fixed-dt', '--seed', '1',
                          '--data-dir', os.path.join(workdir, 'data'), '--screenshot', path] + flags,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
    check(run.returncode == 0, f"frames {frames} {flags}: exit status {run.returncode}\n{run.stdout}")
    return read_png(path)


def differences(a, b):
    """The mean channel difference and the share of pixels off by more than 24."""
    total, off = 0, 0
    for ra, rb in zip(a.rows, b.rows):
        for x in range(0, len(ra), 3):
            d = max(abs(ra[x] - rb[x]), abs(ra[x + 1] - rb[x + 1]), abs(ra[x + 2] - rb[x + 2]))
            total += d
            off += d > 24
    pixels = a.width * a.height
    return total / pixels, off / pixels


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    exe = argv[1]
    try:
        for name, flags, size in VARIANTS:
            with tempfile.TemporaryDirectory() as workdir:
                plain, gridded, midway = (screenshot(exe, workdir, flags, n) for n in (1, 2, 47))
            for image in (plain, gridded, midway):
                check((image.width, image.height) == size, f"{name}: a {image.width} x {image.height} screenshot")
            mean, off = differences(plain, gridded)
            print(f"{name}: through an untouched grid, mean difference {mean:.2f}, {100 * off:.2f}% of pixels off")
            check(mean < 1.0 and off < 0.01, f"{name}: the untouched grid does not show the picture as it is")
            mean, off = differences(plain, midway)
            print(f"{name}: half-way through the tiles turning off, {100 * off:.0f}% of pixels changed")
            check(0.3 < off < 0.7, f"{name}: half-way through, the tiles are not half gone")
    except TestFailure as failure:
        print(f"FAILED: {failure}")
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
