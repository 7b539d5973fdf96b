#!/bin/sh
# Starts or ends the Wine prefix that the tests run in (WINEPREFIX from the environment).
#   wineprefix.sh start WINE WINESERVER   makes the prefix and keeps its server running
#   wineprefix.sh stop WINE WINESERVER    ends the server and whatever Wine still runs there
#
# The server is kept from the start to the end of the tests: one that quits when idle can be
# on its way out just as a test starts, and that test then fails without a word. Wine's own
# helper programs live as long as the server, so they must not hold ctest's output open: their
# output goes to a log beside the prefix, shown when the start fails.
set -u
action=$1 wine=$2 wineserver=$3
log=$WINEPREFIX.log
case $action in
start)
    mkdir -p "$WINEPREFIX" &&
        "$wineserver" -p </dev/null >"$log" 2>&1 &&
        "$wine" wineboot --init </dev/null >>"$log" 2>&1 ||
        { cat "$log"; exit 1; }
    ;;
stop)
    "$wineserver" -k 2>/dev/null
    exit 0
    ;;
esac
