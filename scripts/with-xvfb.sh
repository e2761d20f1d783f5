#!/bin/sh
# Runs a command on a private X server: Xvfb on a free display number that it picks itself,
# reachable only through its local socket (no TCP), stopped when the command ends.
#   scripts/with-xvfb.sh [-s WIDTHxHEIGHT] command [arguments...]
set -eu

size=1280x800
if [ "${1:-}" = "-s" ]; then
    size=$2
    shift 2
fi
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "with-xvfb.sh: Xvfb is not installed (Debian package xvfb)" >&2
    exit 127
fi

displayfile=$(mktemp)
cleanup() {
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -f "$displayfile"
}
trap cleanup EXIT INT TERM

# -displayfd makes the server take the first free display and write its number once it listens.
Xvfb -displayfd 3 -nolisten tcp -screen 0 "${size}x24" 3>"$displayfile" 2>/dev/null &
xvfb=$!
tries=0
while [ ! -s "$displayfile" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb" 2>/dev/null; then
        echo "with-xvfb.sh: Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.05
done

status=0
DISPLAY=":$(cat "$displayfile")" QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY= "$@" || status=$?
exit "$status"
