#!/usr/bin/env python3
"""What a player sees in a real window, on a private Xvfb display.

usage: window_check.py game-sizes TILTBOARD
       window_check.py game-play TILTBOARD
       window_check.py game-hangup TILTBOARD
       window_check.py sample SAMPLES NAME
       window_check.py parallax-drag SAMPLES
       window_check.py sample-drag SAMPLES NAME
       window_check.py rendertexture SAMPLES

game-sizes and sample: the window's pixels match the screenshot the program
writes when its window is closed, at 480 x 320, resized to 960 x 640 and
700 x 700 (letterboxed), and (game-sizes) in full screen through F11 and
back; closing the window ends the program through its normal path.
rendertexture: in a window twice the phone's size, a mouse stroke paints
the canvas where it went, S saves it as a PNG in the data folder that holds
the same picture upright, and the window still matches the screenshot.
game-play: at 700 x 700 a click on "Play Game" starts the countdown, held
Left and Right keys move the board, minimising and restoring pause and
resume the game.
parallax-drag: dragging the parallax sample's landscape 150 pixels left
moves its front layer with the finger and its mountains a quarter as far.
sample-drag: dragging with the mouse across a sample that scrolls (a tile
map) moves the picture with the pointer, and the window then shows the
screenshot's picture.
game-hangup: SIGHUP (the terminal closed) while the window is minimised
ends the game through its normal path within seconds.
"""

import os
import signal
import subprocess
import sys
import time

from window_support import SCREEN_H, SCREEN_W, TestFailure, XSession, check, compare_with_screenshot, \
    letterbox, read_png, wait_for

INTERFACE_W, INTERFACE_H = 480, 320


def expect_like_screenshot(label, capture, shot):
    mean, off, bars = compare_with_screenshot(capture, shot)
    print(f"{label}: {capture.width} x {capture.height}, mean difference {mean:.2f}, "
          f"{100 * off:.2f}% of pixels off, bars at most {bars}")
    check(mean < 1.5 and off < 0.015, f"{label}: the window does not show the screenshot's picture")
    check(bars <= 8, f"{label}: the bars around the picture are not black")


def end_by_closing(app, workdir):
    status = app.close()
    log = app.log()
    check(status == 0, f"closing the window ended the program with status {status}:\n{log}")
    check('screenshot written to' in log, f"no screenshot was written on closing:\n{log}")
    # Without a sound card there is one line of ours, not the libraries' noise.
    check('ALSA lib' not in log and 'AL lib' not in log, f"library noise on the terminal:\n{log}")
    return read_png(os.path.join(workdir, 'shot.png'))


def common_flags(workdir):
    return ['--data-dir', os.path.join(workdir, 'data'), '--screenshot', os.path.join(workdir, 'shot.png'),
            '--seed', '1', '--log-file', os.path.join(workdir, 'log.txt')]


def captures_at_sizes(app, sizes):
    captures = []
    for w, h in sizes:
        if app.geometry() != (w, h):
            app.resize(w, h)
        captures.append((f"{w} x {h}", app.settled_capture()))
    return captures


def game_sizes(exe):
    with XSession() as x:
        workdir = x.workdir('game')
        app = x.start([exe] + common_flags(workdir), workdir)
        try:
            captures = captures_at_sizes(app, [(480, 320)])
            app.key('F11')
            wait_for("full screen", lambda: app.geometry() == (SCREEN_W, SCREEN_H))
            captures.append(("full screen", app.settled_capture()))
            app.key('F11')
            wait_for("the window back from full screen", lambda: app.geometry() == (480, 320))
            captures += captures_at_sizes(app, [(480, 320), (960, 640), (700, 700)])
            shot = end_by_closing(app, workdir)
        finally:
            app.kill()
    check((shot.width, shot.height) == (INTERFACE_W, INTERFACE_H), "the screenshot is not 480 x 320")
    for label, capture in captures:
        expect_like_screenshot(label, capture, shot)


def sample(exe, name):
    with XSession() as x:
        workdir = x.workdir(name)
        app = x.start([exe, '--sample', name] + common_flags(workdir), workdir)
        try:
            captures = captures_at_sizes(app, [(480, 320), (960, 640), (700, 700)])
            shot = end_by_closing(app, workdir)
        finally:
            app.kill()
    for label, capture in captures:
        expect_like_screenshot(f"{name} at {label}", capture, shot)


def row_shift(before, after, y, search):
    """The horizontal shift (window pixels) that best carries row y of
    `before` onto `after`: the smallest mean difference over the overlap."""
    def row(image):
        return [sum(image.pixel(x, y)) for x in range(image.width)]
    a, b = row(before), row(after)
    best, best_diff = None, None
    for s in search:
        pairs = [(a[x], b[x + s]) for x in range(max(0, -s), min(len(a), len(b) - s))]
        diff = sum(abs(p - q) for p, q in pairs) / len(pairs)
        if best_diff is None or diff < best_diff:
            best, best_diff = s, diff
    return best


def parallax_drag(exe):
    with XSession() as x:
        workdir = x.workdir('parallax')
        app = x.start([exe, '--sample', 'parallax'] + common_flags(workdir), workdir)
        try:
            # Once the sky is up, a finger down stops the drift: the picture settles.
            wait_for("the landscape", lambda: app.capture().pixel(240, 60)[2] > 150)
            app.press(300, 200)
            before = app.settled_capture()
            app.drag_to(150, 200)
            after = app.settled_capture()
            app.release()
            check((before.width, before.height) == (480, 320), "the window is not 480 x 320")
            # Interface rows: through the pines (40 points up) and the peaks (170 up).
            trees = row_shift(before, after, 320 - 40, range(-220, 21))
            peaks = row_shift(before, after, 320 - 170, range(-220, 21))
            print(f"dragged 150 pixels left: the trees moved {trees}, the mountains {peaks}")
            check(abs(trees + 150) <= 6, "the front layer did not move with the finger")
            check(abs(peaks + 150 * 0.25) <= 6, "the mountains did not move a quarter as far")
            end_by_closing(app, workdir)
        finally:
            app.kill()


def sample_drag(exe, name):
    """Drags 100 points left and 50 up at 480 x 320: what was under the
    pointer follows it."""
    dx, dy = 100, 50
    with XSession() as x:
        workdir = x.workdir(name)
        app = x.start([exe, '--sample', name] + common_flags(workdir), workdir)
        try:
            before = app.settled_capture()
            check((before.width, before.height) == (480, 320), "the window is not 480 x 320")
            steps = [(300 - dx * i // 4, 200 - dy * i // 4) for i in range(5)]
            app.drag(steps, pause=0.1)
            after = app.settled_capture()
            shot = end_by_closing(app, workdir)
        finally:
            app.kill()
    # Below the title, away from the edges the drag uncovers.
    region = [(px, py) for py in range(40, 320 - dy, 3) for px in range(0, 480 - dx, 3)]
    moved = sum(sum(abs(a - b) for a, b in zip(after.pixel(px, py), before.pixel(px + dx, py + dy)))
                for px, py in region) / (3.0 * len(region))
    still = sum(sum(abs(a - b) for a, b in zip(after.pixel(px, py), before.pixel(px, py)))
                for px, py in region) / (3.0 * len(region))
    print(f"{name} after the drag: mean difference {moved:.2f} from the picture moved with the pointer, "
          f"{still:.2f} from the picture before")
    check(moved < 2 and still > 10, f"{name}: the picture did not follow the drag")
    expect_like_screenshot(f"{name} after the drag", after, shot)


# ---- drawing ------------------------------------------------------------------------

PAPER = (245, 240, 224)


def inked(pixel):
    return max(abs(a - b) for a, b in zip(pixel, PAPER)) > 60


def render_texture(exe):
    with XSession() as x:
        workdir = x.workdir('rendertexture')
        app = x.start([exe, '--sample', 'rendertexture'] + common_flags(workdir), workdir)
        try:
            app.resize(960, 640)
            before = app.settled_capture()
            # A stroke along y = 280 (from the top) at the left edge, where
            # the opening loop never goes.
            check(not inked(before.pixel(*to_window(before, 40, 280))), "the canvas is not blank where we draw")
            app.drag([to_window(before, 10 + 4 * i, 280) for i in range(16)])
            after = app.settled_capture()
            check(inked(after.pixel(*to_window(after, 40, 280))), "the stroke does not show where it was drawn")
            check(not inked(after.pixel(*to_window(after, 40, 40))), "the stroke shows turned upside down")
            app.key('s')
            saved_line = wait_for("the sample to say where it saved",
                                  lambda: next((l for l in app.log().splitlines() if 'saved to ' in l), None))
            path = saved_line.split('saved to ', 1)[1].strip()
            check(path.startswith(os.path.join(workdir, 'data')), f"saved outside the data folder: {path}")
            saved = read_png(path)
            check((saved.width, saved.height) == (INTERFACE_W, INTERFACE_H), "the saved PNG is not 480 x 320")
            check(inked(saved.pixel(40, 280)) and not inked(saved.pixel(40, 40)),
                  "the saved PNG does not hold the stroke upright")
            print(f"saved {path}: stroke {saved.pixel(40, 280)}, paper {saved.pixel(40, 40)}")
            shot = end_by_closing(app, workdir)
        finally:
            app.kill()
    expect_like_screenshot("rendertexture after drawing", after, shot)


# ---- playing ------------------------------------------------------------------------

def to_window(capture, ix, iy):
    left, top, _, _, fit = letterbox(capture.width, capture.height, INTERFACE_W, INTERFACE_H)
    return round(left + ix * fit), round(top + iy * fit)


def has_green_text(capture, box):
    """Any of the menu's bright green in the interface box (x0, y0, x1, y1)?"""
    x0, y0 = to_window(capture, box[0], box[1])
    x1, y1 = to_window(capture, box[2], box[3])
    for y in range(y0, y1, 2):
        for x in range(x0, x1, 2):
            r, g, b = capture.pixel(x, y)
            if g > 180 and r < 100 and b < 100:
                return True
    return False


def lit_pixels(capture, box):
    x0, y0 = to_window(capture, box[0], box[1])
    x1, y1 = to_window(capture, box[2], box[3])
    return sum(1 for y in range(y0, y1, 2) for x in range(x0, x1, 2) if max(capture.pixel(x, y)) > 100)


def board_x(capture):
    """The board's centre in interface points: the middle of the longest run
    of its red deck along the bottom rows (a ball is never that wide)."""
    left, top, w, h, fit = letterbox(capture.width, capture.height, INTERFACE_W, INTERFACE_H)
    best, best_centre = 0, None
    for y in range(top + h - int(26 * fit), top + h):
        run = 0
        for x in range(left, left + w):
            r, g, b = capture.pixel(x, y)
            run = run + 1 if r > 150 and g < 120 and b < 100 else 0
            if run > best:
                best, best_centre = run, x - run / 2
    if best < 40 * fit:
        return None
    return (best_centre - left) / fit


def game_play(exe):
    with XSession() as x:
        workdir = x.workdir('play')
        app = x.start([exe] + common_flags(workdir), workdir)
        try:
            app.resize(700, 700)
            menu = app.settled_capture()
            play_game = (150, 80, 330, 120)
            check(has_green_text(menu, play_game), "no \"Play Game\" on the menu")
            app.click(*to_window(menu, 240, 100))
            # The menu slides away and the countdown shows in the middle.
            wait_for("the menu to leave after the click",
                     lambda: not has_green_text(app.capture(), play_game), timeout=15)
            wait_for("the countdown", lambda: lit_pixels(app.capture(), (200, 110, 280, 210)) > 20, timeout=15)
            start = wait_for("the board after the countdown", lambda: board_x(app.capture()), timeout=20)
            print(f"the board starts at x = {start:.0f}")
            # Balls fall on the left first: right, then back, briefly.
            app.hold_key('Right', 0.5)
            after_right = wait_for("the board", lambda: board_x(app.capture()), timeout=5)
            print(f"after Right it is at x = {after_right:.0f}")
            check(after_right > start + 60, "holding Right did not move the board right")
            app.hold_key('Left', 0.5)
            after_left = wait_for("the board", lambda: board_x(app.capture()), timeout=5)
            print(f"after Left it is at x = {after_left:.0f}")
            check(after_left < after_right - 60, "holding Left did not move the board left")

            x.run(['xdotool', 'windowminimize', str(app.window)])
            wait_for("the game to pause", lambda: 'entering the background' in app.log())
            x.run(['xdotool', 'windowactivate', str(app.window)])
            wait_for("the game to resume", lambda: 'entering the foreground' in app.log())
            end_by_closing(app, workdir)
        finally:
            app.kill()


def game_hangup(exe):
    """The terminal the game was started from goes away while its window is
    minimised: it ends the normal way, within a second or two."""
    with XSession() as x:
        workdir = x.workdir('hangup')
        app = x.start([exe] + common_flags(workdir), workdir)
        try:
            app.settled_capture()
            x.run(['xdotool', 'windowminimize', str(app.window)])
            wait_for("the game to enter the background", lambda: 'entering the background' in app.log())
            sent = time.monotonic()
            app.process.send_signal(signal.SIGHUP)
            try:
                status = app.process.wait(5)
            except subprocess.TimeoutExpired:
                raise TestFailure("the game did not end within 5 s of SIGHUP")
            print(f"SIGHUP: ended with status {status} after {time.monotonic() - sent:.2f} s")
            log = app.log()
            check(status == 0, f"SIGHUP ended the game with status {status}:\n{log}")
            check('application: SIGHUP received, ending' in log and 'screenshot written to' in log,
                  f"SIGHUP did not go through the termination path:\n{log}")
        finally:
            app.kill()


def main(argv):
    try:
        if argv[1:2] == ['game-sizes']:
            game_sizes(argv[2])
        elif argv[1:2] == ['game-play']:
            game_play(argv[2])
        elif argv[1:2] == ['game-hangup']:
            game_hangup(argv[2])
        elif argv[1:2] == ['sample']:
            sample(argv[2], argv[3])
        elif argv[1:2] == ['parallax-drag']:
            parallax_drag(argv[2])
        elif argv[1:2] == ['sample-drag']:
            sample_drag(argv[2], argv[3])
        elif argv[1:2] == ['rendertexture']:
            render_texture(argv[2])
        else:
            print(__doc__)
            return 2
    except TestFailure as e:
        print(f"FAILED: {e}")
        return 1
    print("ok")
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
