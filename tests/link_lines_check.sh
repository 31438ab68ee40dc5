#!/bin/sh
# usage: link_lines_check.sh BINARY...
# None of the binaries may load SDL2, GL or a sound library: the parsers
# and the host's core services link only what they include.
status=0
for binary in "$@"; do
    found=$(ldd "$binary" | grep -Eo 'lib(SDL2|GL|GLES|EGL|GLX|openal|sndfile|pulse|asound)[^ ]*' | sort -u | tr '\n' ' ')
    if [ -n "$found" ]; then
        echo "$binary loads $found"
        status=1
    fi
done
[ $status -eq 0 ] && echo "no display, GL or sound library in: $*"
exit $status
