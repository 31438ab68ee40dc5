#!/bin/sh
# Runs the game headless and checks the screenshot's size and the exit path.
# usage: headless_run.sh TILTBOARD WIDTH HEIGHT [flags...]
set -eu
exe=$1; want_w=$2; want_h=$3; shift 3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$exe" --headless --frames 120 --fixed-dt --data-dir "$dir/data" --screenshot "$dir/shot.png" "$@" \
    2>"$dir/log" || { cat "$dir/log"; echo "exit status $?"; exit 1; }
python3 - "$dir/shot.png" "$want_w" "$want_h" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read(24)
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
w, h = struct.unpack('>II', data[16:24])
assert (w, h) == (int(sys.argv[2]), int(sys.argv[3])), f'screenshot is {w}x{h}'
PY
# A bad flag is a usage error with status 2.
set +e
"$exe" --frames nope >/dev/null 2>&1
status=$?
set -e
test "$status" -eq 2
echo "headless run ok"
