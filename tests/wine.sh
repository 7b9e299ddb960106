#!/usr/bin/env bash
# Starts or stops the Wine server the Windows test runs share, so each run costs a tenth of a second.
# Usage: wine.sh start|stop WINE; WINEPREFIX names the test's private prefix.
set -euo pipefail

server=$(dirname "$2")/wineserver
case $1 in
start)
    mkdir -p "$WINEPREFIX"
    # Detached from the test's output, or the test would wait for the server to end.
    "$server" -p </dev/null >/dev/null 2>&1
    # The first start of a prefix reports its set-up on standard error; no test may see that.
    "$2" wineboot --init >/dev/null 2>&1
    ;;
stop) "$server" -k || true ;;
esac
