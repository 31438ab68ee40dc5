#!/bin/sh
# Two autoplay runs with the same seed and a fixed frame time, each with a
# fresh data directory: the screenshots are byte-identical, the players did
# exactly the same things, and both stored the same best score, above 0.
# usage: game_reproducible.sh TILTBOARD [FRAMES]
set -eu
exe=$1; frames=${2:-3600}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
for run in first second; do
    "$exe" --headless --fixed-dt --seed 7 --autoplay --frames "$frames" --data-dir "$dir/$run" \
        --screenshot "$dir/$run.png" 2>"$dir/$run.log" || { cat "$dir/$run.log"; echo "run $run failed"; exit 1; }
    grep '^autoplay: ' "$dir/$run.log" >"$dir/$run.moves" || true
done
cmp "$dir/first.png" "$dir/second.png" || { echo "the screenshots differ"; exit 1; }
cmp "$dir/first.moves" "$dir/second.moves" || { echo "the players' moves differ"; diff "$dir/first.moves" "$dir/second.moves"; exit 1; }
grep -q 'pressed "Play Game"' "$dir/first.moves" || { echo "the player never pressed Play Game"; cat "$dir/first.log"; exit 1; }
python3 - "$dir/first/defaults.plist" "$dir/second/defaults.plist" <<'PY'
import plistlib, sys
first, second = (plistlib.load(open(p, 'rb')) for p in sys.argv[1:3])
assert first.get('high') == second.get('high'), f"best scores differ: {first.get('high')} and {second.get('high')}"
assert first.get('high', 0) > 0, f"no point scored: {first}"
print(f"best score {first['high']} in both runs")
PY
echo "autoplay runs reproducible"
