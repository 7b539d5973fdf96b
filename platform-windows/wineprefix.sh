#!/bin/sh
# Starts or ends the Wine prefix that the tests run in (WINEPREFIX from the environment).
#   wineprefix.sh start WINE WINESERVER   makes the prefix and keeps its server running
#   wineprefix.sh stop WINE WINESERVER    ends the server and whatever Wine still runs there
#
# The server is kept from the start to the end of the tests: one that quits when idle can be
# on its way out just as a test starts, and that test then fails without a word. Wine's own
# helper programs live as long as the server, so they must not hold ctest's output open: their
# output goes to a log beside the prefix, shown when the start fails.
#
# Wine refuses a prefix that is not owned by the user running it. On some mounts (a shared or
# root-squashed checkout) what we create shows up as another user's; then the prefix becomes a
# link to a private folder in the temporary folder, which Wine follows.
set -u
action=$1 wine=$2 wineserver=$3
log=$WINEPREFIX.log

owned_by_me() {
    [ "$(stat -L -c %u "$1" 2>/dev/null)" = "$(id -u)" ]
}

use_private_prefix() {
    private=$(mktemp -d "${TMPDIR:-/tmp}/inkvale-wine-prefix.XXXXXX") &&
        rm -rf "$WINEPREFIX" && ln -s "$private" "$WINEPREFIX"
}

make_prefix() {
    if [ -L "$WINEPREFIX" ]; then
        [ -d "$WINEPREFIX" ] && owned_by_me "$WINEPREFIX" && return 0
        rm -f "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX" || return 1
    owned_by_me "$WINEPREFIX" && return 0
    echo "$WINEPREFIX shows up as owned by uid $(stat -c %u "$WINEPREFIX"), not $(id -u):" \
        "using a private folder instead"
    use_private_prefix
}

# The server first (status 2: one already runs for this prefix, which is what is wanted),
# then the prefix's own start.
boot() {
    "$wineserver" -p </dev/null >>"$log" 2>&1
    status=$?
    if [ $status -ne 0 ] && [ $status -ne 2 ]; then
        echo "wineserver -p ended with status $status" >>"$log"
        return 1
    fi
    "$wine" wineboot --init </dev/null >>"$log" 2>&1 && return 0
    echo "wineboot ended with status $?" >>"$log"
    "$wineserver" -k 2>/dev/null
    return 1
}

case $action in
start)
    : >"$log" 2>/dev/null || log=$(mktemp "${TMPDIR:-/tmp}/inkvale-wine.XXXXXX.log")
    make_prefix >>"$log" 2>&1 || { cat "$log"; exit 1; }
    # Whatever Wine holds against the build folder, a private folder is the second try.
    boot ||
        { [ ! -L "$WINEPREFIX" ] && echo "trying a private folder" >>"$log" &&
            use_private_prefix >>"$log" 2>&1 && boot; } ||
        { cat "$log"; exit 1; }
    ;;
stop)
    "$wineserver" -k 2>/dev/null
    if [ -L "$WINEPREFIX" ]; then
        private=$(readlink "$WINEPREFIX")
        rm -f "$WINEPREFIX"
        case $private in "${TMPDIR:-/tmp}"/inkvale-wine-prefix.*) rm -rf "$private" ;; esac
    fi
    exit 0
    ;;
esac
