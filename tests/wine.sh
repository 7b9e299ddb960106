#!/usr/bin/env bash
# Starts or stops the Wine server the Windows test runs share, so each run costs a tenth of a second.
# Usage: wine.sh start|stop WINE; WINEPREFIX names the test's private prefix.
set -euo pipefail

server=$(dirname "$2")/wineserver
case $1 in
start)
    mkdir -p "$WINEPREFIX"
    # Detached from the test's output, or the test would wait for the server to end. One left
    # running by an interrupted run refuses to start a second, and serves as well.
    "$server" -p </dev/null >/dev/null 2>&1 || true
    # The first start of a prefix reports its set-up on standard error; no test may see that.
    # The 64-bit loader makes it, so that it holds the 32-bit system as well.
    "$(dirname "$2")/wine64" wineboot --init >/dev/null 2>&1
    ;;
stop) "$server" -k || true ;;
esac
