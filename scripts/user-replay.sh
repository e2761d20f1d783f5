#!/bin/sh
# A new user's first session replayed with the keyboard on a private desktop (Xvfb, openbox,
# trayer), with a screenshot after each step and the timings in OUT_DIR/replay.log.
#   scripts/user-replay.sh BUILD_DIR OUT_DIR
set -eu
if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR OUT_DIR" >&2
    exit 2
fi
exec python3 "$(dirname "$0")/user_replay.py" "$1" "$2"
