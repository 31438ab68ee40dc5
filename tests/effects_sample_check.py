#!/usr/bin/env python3
"""The effects sample: distorted mid-effect, and repeatable with a seed.

With --fixed-dt effect k of the gallery is half-way forwards at frame
47 + 198 k; frame 1 shows the picture before any grid. Several effects
(waves, ripple, lens, shake, shuffled and waving tiles) must each have
moved a good share of the picture there, and two runs with the same seed
must give byte-identical screenshots, the random ones included. The
amplitude sample plays its wrapped effects forwards and backwards through
a whole round.

usage: effects_sample_check.py SAMPLES
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from grid_sample_check import differences  # noqa: E402
from window_support import TestFailure, check, read_png  # noqa: E402

# Gallery index and name of the effects checked.
EFFECTS = [(0, "CCWaves3D"), (3, "CCRipple3D"), (4, "CCLens3D"), (6, "CCShaky3D"), (11, "CCShuffleTiles"),
           (12, "CCWavesTiles3D")]


def screenshot(exe, workdir, frames, tag, sample='effects'):
    path = os.path.join(workdir, f"{sample}{frames}-{tag}.png")
    run = subprocess.run([exe, '--headless', '--sample', sample, '--frames', str(frames), '--fixed-dt', '--seed',
                          '4', '--data-dir', os.path.join(workdir, 'data'), '--screenshot', path],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
    check(run.returncode == 0, f"frames {frames}: exit status {run.returncode}\n{run.stdout}")
    return path


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    exe = argv[1]
    try:
        with tempfile.TemporaryDirectory() as workdir:
            plain = read_png(screenshot(exe, workdir, 1, 'a'))
            for index, name in EFFECTS:
                frames = 47 + 198 * index
                first, second = screenshot(exe, workdir, frames, 'a'), screenshot(exe, workdir, frames, 'b')
                with open(first, 'rb') as a, open(second, 'rb') as b:
                    check(a.read() == b.read(), f"{name}: two runs with the same seed differ")
                _, off = differences(plain, read_png(first))
                print(f"{name} half-way: {100 * off:.0f}% of pixels moved")
                check(off > 0.05, f"{name}: the picture is hardly distorted half-way")
            # Three wrapped effects of 198 frames each, the last one mid-reverse at 560.
            _, off = differences(plain, read_png(screenshot(exe, workdir, 560, 'a', 'amplitude')))
            print(f"amplitude, last effect backwards: {100 * off:.0f}% of pixels moved")
            check(off > 0.05, "amplitude: the effect played backwards is not seen")
            screenshot(exe, workdir, 600, 'a', 'amplitude')
    except TestFailure as failure:
        print(f"FAILED: {failure}")
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
