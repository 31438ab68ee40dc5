#!/usr/bin/env python3
"""What a player sees in a real window, on a private Xvfb display.

usage: window_check.py game-sizes TILTBOARD
       window_check.py game-play TILTBOARD
       window_check.py game-hangup TILTBOARD
       window_check.py sample SAMPLES NAME

game-sizes and sample: the window's pixels match the screenshot the program
writes when its window is closed, at 480 x 320, resized to 960 x 640 and
700 x 700 (letterboxed), and (game-sizes) in full screen through F11 and
back; closing the window ends the program through its normal path.
game-play: at 700 x 700 a click on "Play Game" starts the countdown, held
Left and Right keys move the board, minimising and restoring pause and
resume the game.
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
                     lambda: not has_green_text(app.capture(), play_game), timeout=5)
            wait_for("the countdown", lambda: lit_pixels(app.capture(), (200, 110, 280, 210)) > 20, timeout=5)
            start = wait_for("the board after the countdown", lambda: board_x(app.capture()), timeout=10)
            print(f"the board starts at x = {start:.0f}")
            # Balls fall on the left first: right, then back, briefly.
            app.hold_key('Right', 0.5)
            after_right = wait_for("the board", lambda: board_x(app.capture()), timeout=2)
            print(f"after Right it is at x = {after_right:.0f}")
            check(after_right > start + 60, "holding Right did not move the board right")
            app.hold_key('Left', 0.5)
            after_left = wait_for("the board", lambda: board_x(app.capture()), timeout=2)
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
