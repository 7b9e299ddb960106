#!/usr/bin/env bash
# Starts or stops what the Windows test runs share: the Wine server, so that each run costs a
# tenth of a second, and a virtual screen, on which Wine's console windows are real windows, shown
# or hidden as their starter asks. Usage: wine.sh start|stop WINE; WINEPREFIX names the tests'
# private prefix, and WINE_SCREEN the file that holds the screen's display number.
set -euo pipefail

loaders=$(dirname "$2")
server=$loaders/wineserver
# Ends the screen of the last start, when it still runs.
end_screen() {
    [ "$(cat "/proc/$(cat "$WINE_SCREEN.pid" 2>/dev/null)/comm" 2>/dev/null)" != Xvfb ] ||
        kill "$(cat "$WINE_SCREEN.pid")"
}
case $1 in
start)
    # A start that was never stopped, as a repeated or broken test run leaves it, leaves its
    # screen, which goes first; its server goes with the one the set-up leaves, below.
    end_screen
    # Xvfb takes a free display and writes its number once it takes clients.
    rm -f "$WINE_SCREEN"
    Xvfb -displayfd 3 -nolisten tcp 3>"$WINE_SCREEN" </dev/null >/dev/null 2>&1 &
    echo $! >"$WINE_SCREEN.pid"
    timeout 10 sh -c 'until [ -s "$1" ]; do sleep 0.1; done' wait "$WINE_SCREEN" ||
        { echo 'Xvfb did not start: is xvfb installed?' >&2 && exit 1; }
    export DISPLAY=:$(<"$WINE_SCREEN")
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
stop)
    "$server" -k || true
    # The screen goes last, as Wine's windows would fail without it.
    end_screen
    ;;
esac
