#!/bin/sh
# Runs one sample headless and checks that it drew a landscape picture with
# something in it (not a single flat colour).
# usage: sample_run.sh SAMPLES NAME [frames]
set -eu
exe=$1; name=$2; frames=${3:-30}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$exe" --headless --sample "$name" --frames "$frames" --fixed-dt --seed 1 --data-dir "$dir/data" \
    --screenshot "$dir/shot.png" 2>"$dir/log" || { cat "$dir/log"; echo "exit status $?"; exit 1; }
if grep -q "no sample named" "$dir/log"; then cat "$dir/log"; exit 1; fi
python3 - "$dir/shot.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
w, h = struct.unpack('>II', data[16:24])
assert (w, h) == (480, 320), f'screenshot is {w}x{h}'
# Concatenate the IDAT chunks and count distinct scanline bytes.
pos, idat = 8, b''
while pos < len(data):
    n, kind = struct.unpack('>I4s', data[pos:pos + 8])
    if kind == b'IDAT':
        idat += data[pos + 8:pos + 8 + n]
    pos += 12 + n
raw = zlib.decompress(idat)
assert len(set(raw)) > 8, 'the picture is flat'
PY
echo "sample $name ok"
