#!/bin/sh
# make run: starts the desktop program on the demo event file. Without a display it starts the
# program on a private X server instead, saves a picture of its main window, prints the coming
# week's agenda and says how to start the program on a desktop.
#   scripts/run-desktop.sh <build folder>
set -eu

build=${1:-build}
program="$build/bin/dayvault"
demo="$build/data/demo.dat"
here=$(cd "$(dirname "$0")" && pwd)

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$demo"
fi

echo "No display found: starting Dayvault on a private X server (Xvfb)."
shots="$build/screenshots"
mkdir -p "$shots"
shot="$shots/make-run-main-window.png"
# A home of its own, so that the demo leaves the user's settings alone.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

HOME="$home" XDG_CONFIG_HOME="$home/config" "$here/with-xvfb.sh" -s 1280x800 sh -c '
    "$1" "$2" &
    pid=$!
    # The window is up once the X server lists a window of the program.
    tries=0
    while [ $tries -lt 100 ] && ! xwininfo -root -tree 2>/dev/null | grep -q "demo.dat - Dayvault"; do
        tries=$((tries + 1)); sleep 0.1
    done
    sleep 0.5
    import -window root "$3"
    kill "$pid"; wait "$pid" 2>/dev/null || true
' run "$program" "$demo" "$shot"
echo "Screenshot of the main window: $shot"
echo
echo "The coming week in the demo file:"
"$build/bin/dayvault-cli" agenda "$demo" --days 7
echo
echo "On a desktop, start the program with:  $program $demo"
echo "(or run 'make run' in a graphical session)."
