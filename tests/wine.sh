#!/usr/bin/env bash
# Starts or stops the Wine server the Windows test runs share, so each run costs a tenth of a second.
# Usage: wine.sh start|stop WINE; WINEPREFIX names the test's private prefix.
set -euo pipefail

loaders=$(dirname "$2")
server=$loaders/wineserver
case $1 in
start)
    mkdir -p "$WINEPREFIX"
    # The first start of a prefix reports its set-up on standard error; no test may see that.
    # The 64-bit loader makes it, so that it holds the 32-bit system as well.
    "$loaders/wine64" wineboot --init >/dev/null 2>&1
    # What the set-up leaves running goes astray a few seconds later, and from then on every
    # exit of a console program waits seconds for it: the tests start with none of it.
    "$server" -k 2>/dev/null || true
    "$server" -w
    # Detached from the test's output, or the test would wait for the server to end.
    "$server" -p </dev/null >/dev/null 2>&1
    ;;
stop) "$server" -k || true ;;
esac
