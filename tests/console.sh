#!/usr/bin/env bash
# Runs memwiden under Wine in a console of its own, as a double-click or a drop on the program
# gives on Windows, and checks that it waits for Enter there, and only where someone can answer:
# not in cmd, not with its input or output redirected, and not started hidden or with no console
# window, as installers and launchers start it. A tmux pane is such a console; so is a window on
# the tests' virtual screen, which the launcher opens.
# Usage: console.sh CASE PROGRAM WINE LAUNCHER
set -euo pipefail

name=$1 program=$2 runner=$3 launcher=$4
. "$(dirname "$0")/common.sh"
file='Игры/engine.dll' locale=C.UTF-8
# A long path of letters of two bytes each, so that the text the console gets is long too.
long=x$(printf 'Игры%.0s' {1..25})
case $name in
console.long_path) file="$long/$long/engine.dll" ;;
# Japanese Windows has no umlauts and no Arabic letters in its code page.
console.cp932) file='Äpfel_ألعاب/engine.dll' locale=ja_JP.UTF-8 ;;
esac
# shellcheck disable=SC2059 # the outcome is the format, with the path as its argument
patched=$(printf "${outcome[patched]}" "$file")
# The command, what the pane's shell redirects for it, whether it waits for Enter, its exit
# status and the last line on the screen. The launcher's windows have no screen to read: its
# status is the program's, or 100 when the program still waited after 5 s.
redirect='' waits=0 status=0 last=$patched
case $name in
console.alone | console.long_path | console.cp932) command=("$program" "$file") waits=1 ;;
console.no_args) command=("$program") waits=1 status=1 last=$usage ;;
console.cmd) command=(cmd /c "$program" "$file") ;;
console.guide)
    # The command that the guide gives, as written, in a console that starts where neither file is.
    line=$(tr -d '\r' <"$(dirname "$program")/README.txt" |
        sed -n 's/^ *\("[^"]*\\memwiden\.exe" "C:\\[^"]*\\engine\.dll"\)$/\1/p')
    [ -n "$line" ] || { echo "$name: the guide gives no command" >&2 && exit 1; }
    exe=$(cut -d '"' -f 2 <<<"$line") dll=$(cut -d '"' -f 4 <<<"$line")
    file=${dll#C:\\} file=$WINEPREFIX/drive_c/${file//\\//}
    # shellcheck disable=SC2059 # the outcome is the format, with the path as its argument
    last=$(printf "${outcome[patched]}" "$dll")
    command=(cmd /c guide.bat)
    ;;
console.out_file) command=("$program" "$file") redirect='>out.txt' last='' ;;
console.in_pipe) command=("$program" "$file") redirect='< <(exec sleep 60)' ;;
console.no_window) command=("$launcher" none "\"$program\" \"$file\"") last='' ;;
console.hidden) command=("$launcher" hidden "\"$program\" \"$file\"") last='' ;;
console.shown) command=("$launcher" shown "\"$program\" \"$file\"") status=100 last='' ;;
*) echo "no case named $name" >&2 && exit 2 ;;
esac
wine_in "$locale"

work=$(mktemp -d)
tmux=(tmux -S "$work/tmux" -f /dev/null)
trap '"${tmux[@]}" kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work" && mkdir -p "$(dirname "$file")"
[ "$name" != console.guide ] || printf '%s\r\n' '@echo off' "mkdir \"${exe%\\*}\"" \
    "copy \"Z:${program//\//\\}\" \"$exe\" >nul" 'cd /d C:\windows\system32' "$line" >guide.bat
engine 1048576 "$file"

# The pane outlives the program, so that its screen can still be read, and is wide enough that
# no line wraps. The launcher runs outside it, and opens the program's window itself.
wine+=("$runner")
run="\"\$@\" $redirect; echo \$? >status"
if [[ ${command[0]} != "$launcher" ]]; then
    "${tmux[@]}" new-session -d -x 600 -y 40 bash -c "$run; exec sleep 600" pane "${wine[@]}" \
        "${command[@]}"
else
    bash -c "$run" run "${wine[@]}" "${command[@]}" </dev/null >/dev/null 2>&1
fi

# The last lines on the screen, without the empty rows below them.
screen() { "${tmux[@]}" capture-pane -p | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' | tail -n "$1"; }
# until SECONDS TEST...: waits for the test to pass, checking ten times a second.
until_true() {
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        [ $((tries -= 1)) -gt 0 ] || return 1
        sleep 0.1
    done
}
shows() { [ "$(screen "$#")" = "$(printf '%s\n' "$@")" ]; }

failed=0
fail() { echo "$name: $*" >&2 && failed=1; }
if [ "$waits" -eq 1 ]; then
    until_true 30 shows "$last" '' "$prompt" || fail "no prompt after the last line: $(screen 5)"
    sleep 2
    [ ! -e status ] || fail 'the program did not wait for Enter'
    "${tmux[@]}" send-keys Enter
elif [ -n "$last" ]; then
    until_true 30 shows "$last" || fail "the last line is not the outcome: $(screen 5)"
fi
until_true 30 test -s status || fail 'the program did not end'
[ "$(cat status 2>/dev/null)" = "$status" ] || fail "exit status $(cat status), expected $status"
# The patch must have reached the file whether or not the window waited.
byte=$(od -An -tx1 -j "$patched_at" -N 1 "$file" | tr -d ' ')
want=$([ "$status" -ne 1 ] && echo 73 || echo 7d)
[ "$byte" = "$want" ] || fail "the patched byte is $byte, expected $want"
exit "$failed"
