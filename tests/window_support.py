"""A private X display for tests of what a player sees in a real window.

XSession starts Xvfb on a display number of its own (never the user's
DISPLAY) with a small window manager, so that full screen, minimising and
closing work as on a desktop; it runs executables there and drives them
with xdotool and wmctrl. Images are compared as lists of RGB rows: window
captures come from xwd, screenshots from the executables' PNG files.
"""

import os
import shutil
import struct
import subprocess
import tempfile
import time
import zlib

SCREEN_W, SCREEN_H = 1600, 1000


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_for(what, predicate, timeout=15.0, interval=0.1):
    """Polls predicate until it returns something true; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure(f"timed out waiting for {what}")
        time.sleep(interval)


# ---- images ------------------------------------------------------------------

class Image:
    """RGB pixels, rows top first."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    def pixel(self, x, y):
        row = self.rows[y]
        return row[3 * x], row[3 * x + 1], row[3 * x + 2]

    def same_as(self, other):
        return (self.width, self.height, self.rows) == (other.width, other.height, other.rows)


def _add_bytes(a, b):
    """a + b byte by byte, modulo 256, over whole rows at once (the high bit
    of each byte is added apart so that no carry crosses into the next)."""
    n = len(a)
    low, high = int.from_bytes(b'\x7f' * n, 'big'), int.from_bytes(b'\x80' * n, 'big')
    x, y = int.from_bytes(a, 'big'), int.from_bytes(b, 'big')
    return bytearray((((x & low) + (y & low)) ^ ((x ^ y) & high)).to_bytes(n, 'big'))


def _unfilter_png(raw, width, height, bpp):
    stride = width * bpp
    rows, prev, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        if kind in (0, 2):  # none, or up: the row above added to each byte
            line = line if kind == 0 else _add_bytes(line, prev)
            rows.append(line)
            prev = line
            continue
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return rows


def read_png(path):
    data = open(path, 'rb').read()
    check(data[:8] == b'\x89PNG\r\n\x1a\n', f"{path} is not a PNG")
    pos, idat = 8, b''
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
        elif kind == b'IDAT':
            idat += body
        pos += 12 + n
    check(depth == 8 and colour in (2, 6), f"{path}: unexpected PNG format")
    bpp = 4 if colour == 6 else 3
    rows = _unfilter_png(zlib.decompress(idat), width, height, bpp)
    if bpp == 4:
        rows = [bytes(b for i, b in enumerate(r) if i % 4 != 3) for r in rows]
    return Image(width, height, [bytes(r) for r in rows])


def parse_xwd(data):
    """A 24- or 32-bit ZPixmap dump, as xwd writes on a TrueColor screen."""
    fields = struct.unpack('>25I', data[:100])
    header_size, pixmap_format, width, height = fields[0], fields[2], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask, ncolors = fields[14], fields[15], fields[16], fields[19]
    check(pixmap_format == 2 and bits_per_pixel == 32, "xwd: not a 32-bit ZPixmap")
    order = '<' if byte_order == 0 else '>'
    pos = header_size + 12 * ncolors

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = []
    for y in range(height):
        start = pos + y * bytes_per_line
        words = struct.unpack(f'{order}{width}I', data[start:start + 4 * width])
        row = bytearray(3 * width)
        for x, w in enumerate(words):
            row[3 * x] = (w & red_mask) >> rs
            row[3 * x + 1] = (w & green_mask) >> gs
            row[3 * x + 2] = (w & blue_mask) >> bs
        rows.append(bytes(row))
    return Image(width, height, rows)


def letterbox(window_w, window_h, picture_w, picture_h):
    """Where the display puts the picture: left, top, width, height, scale."""
    fit = min(window_w / picture_w, window_h / picture_h)
    w, h = round(picture_w * fit), round(picture_h * fit)
    left = (window_w - w) // 2
    bottom = (window_h - h) // 2  # GL counts from the bottom edge
    return left, window_h - bottom - h, w, h, fit


def _bilinear(shot, fx, fy):
    """The screenshot sampled as GL's linear filter samples a texture."""
    fx = min(max(fx, 0.0), shot.width - 1.0)
    fy = min(max(fy, 0.0), shot.height - 1.0)
    x0, y0 = int(fx), int(fy)
    x1, y1 = min(x0 + 1, shot.width - 1), min(y0 + 1, shot.height - 1)
    ax, ay = fx - x0, fy - y0
    r0, r1 = shot.rows[y0], shot.rows[y1]
    return [(r0[3 * x0 + c] * (1 - ax) + r0[3 * x1 + c] * ax) * (1 - ay) +
            (r1[3 * x0 + c] * (1 - ax) + r1[3 * x1 + c] * ax) * ay for c in range(3)]


def compare_with_screenshot(window, shot):
    """Compares the window with the screenshot enlarged as the display
    enlarges the picture (repeated pixels at a whole-number scale, else
    filtered at each window pixel's centre), on every
    pixel of the letterboxed picture (every second one in each direction in
    a large window). Returns (mean channel difference, share of pixels off
    by more than 48 in some channel, brightest channel found in the bars).
    Overlay views are drawn at the window's own resolution, so their edges
    differ a little; a wrong, shifted or turned picture is far off."""
    left, top, w, h, fit = letterbox(window.width, window.height, shot.width, shot.height)
    step = 2 if w * h > 400000 else 1
    # Whole-number enlargements repeat pixels; others are filtered.
    whole = abs(fit - round(fit)) < 1e-3
    total, off, count = 0, 0, 0
    for y in range(top, top + h, step):
        wrow = window.rows[y]
        fy = (y - top + 0.5) / fit - 0.5
        for x in range(left, left + w, step):
            fx = (x - left + 0.5) / fit - 0.5
            expected = _bilinear(shot, round(fx), round(fy)) if whole else _bilinear(shot, fx, fy)
            worst = max(abs(wrow[3 * x + c] - expected[c]) for c in range(3))
            total += sum(abs(wrow[3 * x + c] - expected[c]) for c in range(3))
            off += worst > 48
            count += 1
    bars = 0
    for y in range(0, window.height, 3):
        row = window.rows[y]
        inside_rows = top <= y < top + h
        for x in range(0, window.width, 3):
            if inside_rows and left <= x < left + w:
                continue
            bars = max(bars, row[3 * x], row[3 * x + 1], row[3 * x + 2])
    return total / (3 * count), off / count, bars


# ---- the X session --------------------------------------------------------------

class App:
    """An executable running in the session's display."""

    def __init__(self, session, argv, workdir):
        self.session = session
        self.log_path = os.path.join(workdir, 'stderr.log')
        self._log = open(self.log_path, 'wb')
        self.process = subprocess.Popen(argv, env=session.env, stdout=self._log, stderr=subprocess.STDOUT)
        self.window = session.wait_for_window(self.process)

    def log(self):
        with open(self.log_path, 'rb') as f:
            return f.read().decode('utf-8', 'replace')

    def geometry(self):
        out = self.session.run(['xwininfo', '-id', str(self.window)])
        values = {}
        for line in out.splitlines():
            key, _, value = line.strip().partition(':')
            values[key] = value.strip()
        return int(values['Width']), int(values['Height'])

    def capture(self):
        return parse_xwd(self.session.run(['xwd', '-id', str(self.window), '-silent'], binary=True))

    def settled_capture(self, timeout=10.0):
        """A capture that stays the same for a third of a second."""
        last = self.capture()

        def steady():
            nonlocal last
            time.sleep(0.33)
            now = self.capture()
            same = now.same_as(last)
            last = now
            return now if same else None

        return wait_for("a steady picture in the window", steady, timeout, interval=0)

    def resize(self, width, height):
        self.session.run(['xdotool', 'windowsize', str(self.window), str(width), str(height)])
        wait_for(f"the window to become {width} x {height}", lambda: self.geometry() == (width, height))

    def key(self, *names):
        self.session.run(['xdotool', 'key', '--window', str(self.window), '--delay', '60'] + list(names))

    def hold_key(self, name, seconds):
        self.session.run(['xdotool', 'keydown', '--window', str(self.window), name])
        time.sleep(seconds)
        self.session.run(['xdotool', 'keyup', '--window', str(self.window), name])

    def click(self, x, y):
        self.session.run(['xdotool', 'mousemove', '--window', str(self.window), str(x), str(y),
                          'click', '1'])

    def press(self, x, y):
        self.session.run(['xdotool', 'mousemove', '--window', str(self.window), str(x), str(y), 'mousedown', '1'])

    def drag_to(self, x, y, steps=10):
        """Moves a pressed pointer to (x, y) in small steps, as a finger does."""
        out = self.session.run(['xdotool', 'getmouselocation', '--shell'])
        here = dict(line.split('=') for line in out.split())
        wx, wy = self._window_origin()
        x0, y0 = int(here['X']) - wx, int(here['Y']) - wy
        for i in range(1, steps + 1):
            self.session.run(['xdotool', 'mousemove', '--window', str(self.window),
                              str(round(x0 + (x - x0) * i / steps)), str(round(y0 + (y - y0) * i / steps))])
            time.sleep(0.03)

    def release(self):
        self.session.run(['xdotool', 'mouseup', '1'])

    def _window_origin(self):
        out = self.session.run(['xwininfo', '-id', str(self.window)])
        values = dict(line.strip().split(':', 1) for line in out.splitlines() if ':' in line)
        return int(values['Absolute upper-left X'].strip()), int(values['Absolute upper-left Y'].strip())

    def drag(self, points, pause=0.03):
        """Presses the left button at the first window pixel, moves through
        the others (pausing so that frames see each move) and lets go."""
        self.press(*points[0])
        for x, y in points[1:]:
            time.sleep(pause)
            self.session.run(['xdotool', 'mousemove', '--window', str(self.window), str(x), str(y)])
        self.release()

    def close(self, timeout=20.0):
        """Closes the window as a player does; returns the exit status."""
        self.session.run(['wmctrl', '-i', '-c', hex(self.window)])
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise TestFailure("the program did not end after its window was closed")
        self._log.close()
        return status

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self._log.close()


class XSession:
    def __enter__(self):
        for tool in ('Xvfb', 'xwd', 'xdotool', 'xwininfo', 'openbox', 'wmctrl'):
            check(shutil.which(tool), f"{tool} is missing (tools/install-deps installs it)")
        self.dir = tempfile.mkdtemp(prefix='window-test-')
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write_fd), '-screen', '0',
                                      f'{SCREEN_W}x{SCREEN_H}x24', '-nolisten', 'tcp'],
                                     pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        check(number.isdigit(), "Xvfb did not start")
        self.env = dict(os.environ)
        self.env['DISPLAY'] = ':' + number
        self.env.pop('WAYLAND_DISPLAY', None)
        self.env['SDL_VIDEODRIVER'] = 'x11'
        self.env['XDG_CONFIG_HOME'] = os.path.join(self.dir, 'config')
        self.wm = subprocess.Popen(['openbox', '--sm-disable'], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the window manager", lambda: subprocess.run(
            ['wmctrl', '-m'], env=self.env, capture_output=True).returncode == 0)
        return self

    def __exit__(self, *exc):
        for p in (self.wm, self.xvfb):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(self.dir, ignore_errors=True)
        return False

    def run(self, argv, binary=False):
        result = subprocess.run(argv, env=self.env, capture_output=True, timeout=30)
        check(result.returncode == 0, f"{' '.join(argv)} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout if binary else result.stdout.decode()

    def wait_for_window(self, process):
        def visible():
            check(process.poll() is None, f"the program ended with status {process.returncode}")
            r = subprocess.run(['xdotool', 'search', '--onlyvisible', '--pid', str(process.pid)],
                               env=self.env, capture_output=True)
            ids = r.stdout.split()
            return int(ids[0]) if ids else None

        window = wait_for("the program's window", visible, timeout=30)
        # A known place, wholly on the screen whatever size it becomes.
        subprocess.run(['xdotool', 'windowmove', str(window), '0', '0'], env=self.env)
        return window

    def workdir(self, name):
        path = os.path.join(self.dir, name)
        os.makedirs(path, exist_ok=True)
        return path

    def start(self, argv, workdir):
        return App(self, argv, workdir)
