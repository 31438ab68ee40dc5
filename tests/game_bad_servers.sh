#!/bin/sh
# The game against a server that misbehaves in one way (hang, garbage,
# huge, close): it keeps drawing frames at the display's rate while the
# downloads fail, and both networks' failure paths run.
# usage: game_bad_servers.sh TILTBOARD MODE FRAMES
set -eu
exe=$1; mode=$2; frames=$3
here=$(dirname "$0")
dir=$(mktemp -d)
server=""
cleanup() { [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
python3 "$here/bad_server.py" "$mode" "$dir/port" 2>"$dir/server.log" &
server=$!
i=0
while [ ! -s "$dir/port" ]; do
    i=$((i + 1)); [ $i -gt 100 ] && { echo "the bad server did not start"; exit 1; }
    sleep 0.1
done
url="http://127.0.0.1:$(cat "$dir/port")"
start=$(date +%s)
"$exe" --headless --frames "$frames" --data-dir "$dir/data" --feed-server "$url" --apex-server "$url" \
    --ad-server "$url" --screenshot "$dir/shot.png" 2>"$dir/game.log" || { cat "$dir/game.log"; echo "the game failed"; exit 1; }
elapsed=$(( $(date +%s) - start ))
# Frames come at 60 per second; a main thread stuck on the network would
# add the server's whole delay on top.
budget=$(( frames / 60 + 15 ))
[ "$elapsed" -le "$budget" ] || { echo "$frames frames took ${elapsed}s (budget ${budget}s)"; exit 1; }
grep -q "^Meridian: Did fail to receive ad, Error parsing xml response from server" "$dir/game.log" || {
    cat "$dir/game.log"; echo "the Meridian failure path did not run"; exit 1; }
if [ "$mode" != hang ]; then
    grep -q "^Apex: Did fail to receive ad" "$dir/game.log" || { cat "$dir/game.log"; echo "the Apex failure path did not run"; exit 1; }
fi
if grep -q "Did receive ad" "$dir/game.log"; then cat "$dir/game.log"; echo "a bad answer was taken for an advert"; exit 1; fi
[ -s "$dir/shot.png" ] || { echo "no screenshot"; exit 1; }
echo "$mode: $frames frames in ${elapsed}s, both failure paths ran"
