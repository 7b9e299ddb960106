#!/usr/bin/env bash
# Starts or stops what the Windows test runs share: the Wine server, so that each run costs a
# tenth of a second, and a virtual screen, on which Wine's console windows are real windows, shown
# or hidden as their starter asks. Usage: wine.sh start|stop WINE; WINEPREFIX names the tests'
# private prefix, and WINE_SCREEN the file that holds the screen's display number.
set -euo pipefail

name=wine.$1
# shellcheck source=tests/common.sh
. "$(dirname "$0")/common.sh"
[ -x "$2" ] || missing "the runner $2"
loaders=$(dirname "$2")
server=$loaders/wineserver
# Ends all that the tests run. The server ends the Wine processes it knows; the others, the screen
# and any Wine process that lost its server, are found by the screen's file, which every process
# of the tests inherits in its environment, and a shell that exports the prefix to look into a row
# does not. This script, which the tests start too, is spared. The list is taken before the search
# starts anything, so no process of the search is in it.
end_all() {
    "$server" -k 2>/dev/null || true
    local mark=WINE_SCREEN=$WINE_SCREEN environs left
    for _ in {1..50}; do
        environs=(/proc/[1-9]*/environ)
        mapfile -t left < <(grep -l -s -z -x -F "$mark" "${environs[@]}" |
            grep -v -x -F "/proc/$$/environ")
        [ ${#left[@]} -gt 0 ] || return 0
        kill -KILL "${left[@]//[^0-9]/}" 2>/dev/null || true
        sleep 0.1
    done
    echo "$name: processes of the tests do not end: ${left[*]}" >&2 && exit 1
}
case $1 in
start)
    # A start that was never stopped, as a repeated or broken test run leaves it, goes first.
    end_all
    # The first start of a prefix reports its set-up on standard error; no test may see that.
    # The 64-bit loader makes it, so that it holds the 32-bit system as well.
    "$loaders/wine64" wineboot --init >/dev/null 2>&1
    # What the set-up leaves running goes astray a few seconds later, and from then on every
    # exit of a console program waits seconds for it: the tests start with none of it.
    end_all
    # Xvfb takes a free display and writes its number once it takes clients.
    Xvfb -displayfd 3 -nolisten tcp 3>"$WINE_SCREEN" </dev/null >/dev/null 2>&1 &
    # shellcheck disable=SC2016 # the inner shell expands its own argument
    timeout 10 sh -c 'until [ -s "$1" ]; do sleep 0.1; done' wait "$WINE_SCREEN" ||
        { echo 'Xvfb did not start: is xvfb installed?' >&2 && exit 1; }
    # Detached from the test's output, or the test would wait for the server to end.
    "$server" -p </dev/null >/dev/null 2>&1
    ;;
stop) end_all ;;
esac
