#!/usr/bin/env bash
# Starts the real window under a virtual X display with a private session bus and the
# accessibility bus, and prints what a screen reader sees (tools/atspi/atspi-dump.py).
#
# Usage: tools/atspi/atspi-dump.sh [BUILD_DIR [NAME...]]
#        NAME: controls to press first, e.g. Feedback "I like it!"
# Needs the packages xvfb, xauth, dbus-daemon, at-spi2-core and python3-pyatspi (not installed
# by scripts/setup.sh: nothing in the tests depends on them).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_dir=$(cd "${1:-build}" && pwd)
shift || true
program=$build_dir/bin/inkvale
launcher=/usr/libexec/at-spi-bus-launcher
for needed in "$program" "$launcher"; do
    if [[ ! -x $needed ]]; then
        echo "error: $needed not found" >&2
        exit 2
    fi
done

# The window's settings and the desktop's files go to a fresh home, never the user's.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
    XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" --launch-immediately &
    launcher=$!
    sleep 1
    "$2" &
    window=$!
    sleep 3
    # The system'"'"'s Python, which has pyatspi.
    /usr/bin/python3 "$3" "${@:4}" || status=$?
    kill "$window" "$launcher" 2>/dev/null || true
    wait 2>/dev/null || true
    exit "${status:-0}"
' atspi-dump "$launcher" "$program" "$here/atspi-dump.py" "$@"
