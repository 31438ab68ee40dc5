#!/usr/bin/env python3
"""What a player keeps when the game does not end the normal way, and what
the game does with files that are not files.

Scenarios (the game runs headless with the built-in player, which logs
every high score it sees on screen):
  kill-after-best  SIGKILL a moment after a new best score: the defaults
                   file holds it.
  signals          SIGHUP, SIGTERM and SIGINT end the game through its normal
                   termination: exit status 0, the screenshot written, the
                   best score stored.
  odd-files        a directory in place of ball.png, a FIFO in place of
                   Jump.wav and of defaults.plist, /dev/zero in place of
                   houseAds.plist: one log line each (one per attempt for
                   the ball, which every new ball tries again), the game
                   plays on, the odd defaults are set aside.
  kill-loop        20 SIGKILLs at random moments of runs that share a data
                   folder two at a time: the defaults file always reads,
                   the next run starts with the stored best, and no best
                   score that was on screen for more than one turn is lost.

Usage: game_durability_check.py SCENARIO PATH/TO/tiltboard
"""

import os
import plistlib
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SHOWN = re.compile(r'^autoplay: the screen shows "High Score: (\d+)" at frame (\d+)$')
AT_FRAME = re.compile(r' at frame (\d+)')

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL: " + what)
    return condition


def start(exe, data, log, *extra):
    with open(log, "wb") as out:
        return subprocess.Popen([exe, "--headless", "--autoplay", "--data-dir", data, *extra],
                                stdout=subprocess.DEVNULL, stderr=out)


def log_lines(log):
    with open(log, "rb") as f:
        return f.read().decode("utf-8", "replace").splitlines()


def shown_scores(log):
    """(score, frame) for every high score the player saw, in order."""
    return [(int(m.group(1)), int(m.group(2))) for m in map(SHOWN.match, log_lines(log)) if m]


def wait_for(predicate, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.02)
    return predicate()


def stored(data):
    """The defaults file as a dictionary, {} when there is none; raises when
    it does not read."""
    path = os.path.join(data, "defaults.plist")
    if not os.path.exists(path):
        return {}
    with open(path, "rb") as f:
        return plistlib.load(f)


def scenario_kill_after_best(exe, work):
    data, log = os.path.join(work, "data"), os.path.join(work, "log")
    game = start(exe, data, log, "--fixed-dt", "--seed", "3")
    new_best = lambda: any(score >= 3 for score, _ in shown_scores(log))
    if not check(wait_for(new_best, 60), "the player reaches a best score of 3"):
        game.kill()
        game.wait()
        return
    seen = shown_scores(log)[-1][0]
    time.sleep(0.1)  # a moment: a few turns of a fast run
    game.send_signal(signal.SIGKILL)
    game.wait()
    best = stored(data).get("high", 0)
    check(best >= seen, f"the best score on screen ({seen}) survives SIGKILL: stored {best}")
    print(f"killed a moment after 'High Score: {seen}'; stored {best}")


def scenario_signals(exe, work):
    for sig in (signal.SIGHUP, signal.SIGTERM, signal.SIGINT):
        name = signal.Signals(sig).name
        data, log = os.path.join(work, name, "data"), os.path.join(work, name + ".log")
        shot = os.path.join(work, name + ".png")
        os.makedirs(os.path.dirname(data))
        game = start(exe, data, log, "--fixed-dt", "--seed", "3", "--screenshot", shot)
        check(wait_for(lambda: any(s >= 1 for s, _ in shown_scores(log)), 60), f"{name}: a best score is shown")
        game.send_signal(sig)
        try:
            status = game.wait(timeout=10)
        except subprocess.TimeoutExpired:
            game.kill()
            status = game.wait()
            check(False, f"{name}: the game ends within 10 s")
        lines = log_lines(log)
        check(status == 0, f"{name}: exit status 0, not {status}")
        check(f"application: {name} received, ending" in lines, f"{name}: the log says why the game ends")
        check(os.path.exists(shot), f"{name}: the termination path wrote the screenshot")
        last = max((score for score, _ in shown_scores(log)), default=1)
        check(stored(data).get("high", 0) >= last, f"{name}: the best score {last} is stored")
        print(f"{name}: exit status {status}, best score {stored(data).get('high', 0)} stored")


def scenario_odd_files(exe, work, resources):
    res, data, log = os.path.join(work, "resources"), os.path.join(work, "data"), os.path.join(work, "log")
    shutil.copytree(resources, res, symlinks=True)
    os.makedirs(data)
    for name, make in (("ball.png", lambda p: os.mkdir(p)), ("Jump.wav", os.mkfifo),
                       ("houseAds.plist", lambda p: os.symlink("/dev/zero", p))):
        os.remove(os.path.join(res, name))
        make(os.path.join(res, name))
    os.mkfifo(os.path.join(data, "defaults.plist"))
    shot = os.path.join(work, "shot.png")
    game = start(exe, data, log, "--fixed-dt", "--seed", "3", "--frames", "900", "--resources", res,
                 "--screenshot", shot)
    try:
        status = game.wait(timeout=60)
    except subprocess.TimeoutExpired:
        game.kill()
        status = game.wait()
        check(False, "the game does not hang on files that are not files")
    lines = log_lines(log)
    check(status == 0 and os.path.exists(shot), f"the game runs its 900 frames and ends normally ({status})")
    check('autoplay: pressed "Play Game" at frame 47' in lines, "the player plays")

    def naming(name):
        return [l for l in lines if name in l]

    for name, kind in (("Jump.wav", "a FIFO"), ("houseAds.plist", "a character device"),
                       ("defaults.plist", "a FIFO")):
        said = naming(name)
        check(len(said) == 1 and kind + ", not a regular file" in said[0], f"one log line for {name}: {said}")
    ball = naming("ball.png")
    check(ball and all(l == f"image: {res}/ball.png is a directory, not a regular file" for l in ball),
          f"every attempt at ball.png says it is a directory: {ball[:3]}")
    bad = os.path.join(data, "defaults.plist.bad")
    check(os.path.exists(bad) and not os.path.isfile(bad), "the FIFO is set aside as defaults.plist.bad")
    check(isinstance(stored(data), dict), "the new defaults file reads")
    print(f"odd files: status {status}, {len(ball)} attempts at the ball image, defaults started fresh")


def scenario_kill_loop(exe, work, kills=20, runs_per_folder=2):
    seed = int(time.time())
    rng = random.Random(seed)
    lagging, leftovers, mid_game, greatest, checked = 0, 0, 0, 0, 0
    started = time.monotonic()
    for run in range(kills):
        # A fresh folder now and then: in a first game every point is a new
        # best, so the kills often land among them.
        if run % runs_per_folder == 0:
            data = os.path.join(work, f"data{run}")
            previous_best = 0
        log = os.path.join(work, f"run{run}.log")
        leftovers += sum(1 for n in os.listdir(data) if ".tmp." in n) if os.path.isdir(data) else 0
        game = start(exe, data, log, "--fixed-dt", "--seed", str(run))
        time.sleep(rng.uniform(0.5, 3.5))
        game.send_signal(signal.SIGKILL)
        game.wait()
        try:
            best = stored(data).get("high", 0)
        except Exception as e:  # a file that does not read is the failure we look for
            check(False, f"run {run}: the defaults file reads after SIGKILL ({e})")
            return
        check(not os.path.exists(os.path.join(data, "defaults.plist.bad")), f"run {run}: nothing set aside")
        shown = shown_scores(log)
        if shown:
            check(shown[0][0] == previous_best,
                  f"run {run}: the game starts showing the stored best {previous_best}, not {shown[0][0]}")
        if len(shown) > 1:
            mid_game += 1
        last_frame = max((int(m.group(1)) for m in map(AT_FRAME.search, log_lines(log)) if m), default=0)
        checked += len(shown)
        for i, (score, frame) in enumerate(shown):
            # A score shown in the turn the kill cut short may be missing;
            # one the game lived on past may not.
            lived_on = i + 1 < len(shown) or last_frame > frame
            if score > best:
                if lived_on:
                    check(False, f"run {run}: 'High Score: {score}' (frame {frame}) was lost: stored {best}")
                else:
                    lagging += 1
        previous_best = best
        greatest = max(greatest, best)
    elapsed = time.monotonic() - started
    print(f"kill loop (seed {seed}): {kills} SIGKILLs in {elapsed:.1f} s, {mid_game} after new best scores "
          f"in their run, best score reached {greatest}, {checked} high scores on screen checked against the file; the file always read, nothing set aside; "
          f"{lagging} kills fell in the one turn between a new best on screen and its write; "
          f"{leftovers} temporaries left by a kill mid-write (removed at the next start)")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    scenario, exe = sys.argv[1], os.path.abspath(sys.argv[2])
    resources = os.path.join(os.path.dirname(exe), "resources")
    with tempfile.TemporaryDirectory() as work:
        if scenario == "kill-after-best":
            scenario_kill_after_best(exe, work)
        elif scenario == "signals":
            scenario_signals(exe, work)
        elif scenario == "odd-files":
            scenario_odd_files(exe, work, resources)
        elif scenario == "kill-loop":
            scenario_kill_loop(exe, work)
        else:
            print(__doc__)
            return 2
    if failures:
        print(f"{len(failures)} failure(s)")
        return 1
    print(scenario + ": ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
