#!/usr/bin/env bash
# Runs memwiden as a user would, on a file made here, and checks its status, output and the file.
# Under Wine the console rows run it as Windows users do, in a console of its own or started by a
# launcher: a tmux pane is such a console, and the launcher, LAUNCHER, opens a window on the tests'
# virtual screen.
# Usage: blackbox.sh CASE VERSION PROGRAM [RUNNER...]
set -euo pipefail

name=$1 version=$2 program=$3 runner=("${@:4}")
# shellcheck source=tests/common.sh
. "$(dirname "$0")/common.sh"

# on: the builds that can run the row (any; posix: only natively; wine: only under Wine); needs:
# the tool it needs, or -; lang: the locale's language, from which Wine takes the code page Windows
# runs the program under (C for a Western one, 1252; ru_RU for Cyrillic, 1251; ja_JP for Japanese,
# 932); folder: where the file lies (_ stands for a space); file: what lies at the path; how: the
# command line and its conditions; the exit status; the outcome line, by its name in common.sh, or
# - for none.
row=$(awk -v n="$name" '$1 == n' <<'TABLE'
# the argument count: banner and usage only, the file untouched
args.none         any   -       C     game     good      none          1   -
args.two          any   -       C     game     good      two           1   -
# the one change, made only where the window matches
patch.ok          any   -       C     game     good      path          0   patched
patch.exact_end   any   -       C     game     exact     path          0   patched
patch.twice       any   -       C     game     patched   path          1   no_signature
# folders named in any script open under any code page, and their names come back byte for byte
path.mixed_1252   any   -       C     Игры_ゲーム_Äpfel_ألعاب_🎮 good path 0 patched
path.mixed_1251   wine  -       ru_RU Игры_ゲーム_Äpfel_ألعاب_🎮 good path 0 patched
path.mixed_932    wine  -       ja_JP Игры_ゲーム_Äpfel_ألعاب_🎮 good path 0 patched
# refusals that leave the file as it was
refuse.first_byte any   -       C     game     first     path          1   no_signature
refuse.last_byte  any   -       C     game     last      path          1   no_signature
refuse.short_file any   -       C     game     short     path          1   read
refuse.missing    any   -       C     game     missing   path          1   open
refuse.directory  any   -       C     game     directory path          1   open
refuse.read_only  posix setpriv C     game     good      nobody        1   open
refuse.empty_arg  any   -       C     game     good      empty         1   open
# the system refuses the seek or the write, or fails to sync or close the file after it (strace
# makes the call fail with the error named): a file system that turned read-only has lost the
# write, one that cannot sync took it
io.seek_fifo      any   -       C     game     fifo      path          1   seek
io.write_refused  any   -       C     game     good      limit         1   write
io.sync_failed    any   strace  C     game     good      fsync=EROFS   1   write
io.sync_none      any   strace  C     game     good      fsync=EINVAL  0   patched
io.close_failed   posix strace  C     game     good      close=EIO     1   write
# the calls on the file, in order: the window read, then written back, put on the disk and
# closed; nothing else of the file is read or written
io.calls          any   strace  C     game     good      calls         0   patched
# the reader of the output has gone: the status still tells what became of the file
io.output_gone    any   -       C     game     good      gone          0   patched
# a console window of the run's own, such as a drop on the program opens, waits for Enter
console.alone     wine  tmux    C     Игры     good      pane          0   patched
console.no_args   wine  tmux    C     Игры     good      pane_none     1   -
# no other does: cmd's, one whose output or input a script redirects, none started with no window
# or a hidden one, as installers and launchers start programs; started in a window that is shown,
# the program still waits after 5 s, and the launcher ends it with status 100
console.cmd       wine  tmux    C     Игры     good      pane_cmd      0   patched
console.out_file  wine  tmux    C     Игры     good      pane_out      0   patched
console.in_pipe   wine  tmux    C     Игры     good      pane_in       0   patched
console.no_window wine  -       C     Игры     good      launch_none   0   patched
console.hidden    wine  -       C     Игры     good      launch_hidden 0   patched
console.shown     wine  -       C     Игры     good      launch_shown  100 patched
TABLE
)
[ -n "$row" ] || { echo "no case named $name" >&2 && exit 2; }
read -r _ _ needs lang folder file how status last <<<"$row"
[ "$needs" = - ] || need "$needs"
[ ${#runner[@]} -eq 0 ] || [ -x "${runner[0]}" ] || missing "the runner ${runner[0]}"

# Wine answers a flush that fails with EISDIR as Windows answers one that the file system cannot
# do.
if [[ $program == *.exe ]]; then
    how=${how/#fsync=EINVAL/fsync=EISDIR}
    # Wine quietly takes the Western code page where the locale is missing.
    [ "$(LC_ALL=$lang.UTF-8 locale charmap 2>/dev/null)" = UTF-8 ] || missing "$lang.UTF-8"
    runner=(env LC_ALL="$lang.UTF-8" DISPLAY=":$(<"$WINE_SCREEN")" "${runner[@]}")
fi

work=$(mktemp -d)
tmux=(tmux -S "$work/tmux" -f /dev/null)
trap '"${tmux[@]}" kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
folder=${folder//_/ }
umask 022 && chmod 755 "$work" && cd "$work" && mkdir -p "$folder"
# The program is given the file's path, and echoes it, but in the row of an empty argument.
path="$folder/engine.dll" arg=$path
case $file in
good) engine 1048576 "$path" ;;
exact) engine $((offset + 16)) "$path" ;;
patched) engine 1048576 "$path" && put "$patched_at" '\x73' "$path" ;;
first) engine 1048576 "$path" && put "$offset" '\xC9' "$path" ;;
last) engine 1048576 "$path" && put $((offset + 15)) '\xFE' "$path" ;;
short) engine $((offset + 16)) "$path" && truncate -s $((offset + 15)) "$path" ;;
directory) mkdir "$path" ;;
fifo) mkfifo "$path" ;;
esac
[ -f "$path" ] && cp "$path" before

run() { "${runner[@]}" "$program" "$@" >out 2>err; }
# in_pane REDIRECT COMMAND...: starts the command in the tmux pane, which outlives it so that its
# screen can still be read, and is wide enough that no line wraps; its status goes to the file
# status.
in_pane() {
    "${tmux[@]}" new-session -d -x 600 -y 40 \
        bash -c "\"\$@\" $1; echo \$? >status; exec sleep 600" pane "${runner[@]}" "${@:2}"
}
got=0
case $how in
none) run ;;
two) run "$path" "$path" ;;
path) run "$path" ;;
*=* | calls)
    # The sanitizers' leak check cannot run in a traced program; the other rows make it. Only the
    # program's first thread is traced, which makes the calls, and not the Wine services it may
    # start, which outlive it.
    [ "$how" = calls ] || inject=(-e inject="${how%=*}:error=${how#*=}")
    runner=(strace -qq -o trace -s 0 -e signal=none -e 'trace=/read|write|seek|sync|close'
        -E ASAN_OPTIONS=detect_leaks=0 -P "$PWD/$path" "${inject[@]}" "${runner[@]}")
    run "$path"
    ;;
gone)
    # The pipe's reader ends before the program starts, and nothing reads the output.
    exec {pipe}> >(:)
    wait $!
    "${runner[@]}" "$program" "$path" 1>&"$pipe" 2>err
    ;;
empty) arg='' && run '' ;;
limit)
    # Windows knows no such signal: Wine, which stands in for it, is spared it here.
    [[ $program != *.exe ]] || trap '' XFSZ
    (ulimit -f 1000 && run "$path")
    ;;
nobody)
    # Root may write anywhere, so the refusal is only real for an ordinary user.
    chmod 444 "$path"
    if [ "$(id -u)" -eq 0 ]; then
        cp "$program" . && program=./${program##*/}
        runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${runner[@]}")
    fi
    run "$path"
    ;;
pane) in_pane '' "$program" "$path" ;;
pane_in) in_pane '< <(exec sleep 60)' "$program" "$path" ;;
pane_none) in_pane '' "$program" ;;
pane_out) in_pane '>out' "$program" "$path" ;;
pane_cmd) in_pane '' cmd /c "$program" "$path" ;;
launch_*)
    "${runner[@]}" "$LAUNCHER" "${how#launch_}" "\"$program\" \"$path\"" </dev/null >/dev/null 2>&1
    ;;
esac || got=$?

printed "$version" "$last" "$arg" "$status" >expected
# Windows writes its standard output in text mode: every line ends in CR LF. A console shows
# lines, and the output of a launcher's window or to a pipe without a reader is read by nobody.
case $how in
pane_out) sed -i 's/$/\r/' expected ;;
pane*) ;;
gone | launch_*) : >expected && : >out ;;
*) [[ $program != *.exe ]] || sed -i 's/$/\r/' expected ;;
esac

failed=0
fail() { echo "$name: $*" >&2 && failed=1; }
# shows: whether the pane's last lines, as many as are expected, without the empty rows below
# them, are what is expected; they are kept as the output.
# shellcheck disable=SC2317 # until_true runs it
shows() {
    "${tmux[@]}" capture-pane -p | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' |
        tail -n "$(wc -l <expected)" >out && cmp -s out expected
}
# until_true TEST...: waits up to 30 s for the test to pass, checking ten times a second.
until_true() {
    for _ in {1..300}; do
        "$@" && return
        sleep 0.1
    done
    false
}
if [[ $how == pane* ]]; then
    if [[ $how == pane || $how == pane_none ]]; then
        # A window opened for this run alone shows the outcome, then waits for Enter.
        printf '\n%s\n' "$prompt" >>expected
        until_true shows || true
        sleep 2
        [ ! -e status ] || fail 'the program did not wait for Enter'
        "${tmux[@]}" send-keys Enter
    fi
    until_true test -s status || fail 'the program did not end'
    got=$(cat status 2>/dev/null)
    [ "$how" = pane_out ] || until_true shows || true
fi

[ "$got" = "$status" ] || fail "exit status $got, expected $status"
cmp -s out expected || { fail 'the output differs'; diff expected out >&2 || true; }
[ ! -s err ] || fail "standard error is not empty: $(cat err)"
if [ "$how" = calls ]; then
    # The calls on the file, and no others. Under Wine, the C runtime asks at the open which
    # device the file is on, and Wine reads its first bytes to tell.
    [[ $program != *.exe ]] || echo 'pread64(fd, ""..., 23, 0) = 23' >calls
    printf '%s\n' "lseek(fd, $offset, SEEK_SET) = $offset" 'read(fd, ""..., 16) = 16' \
        "lseek(fd, $offset, SEEK_SET) = $offset" 'write(fd, ""..., 16) = 16' 'fsync(fd) = 0' \
        'close(fd) = 0' >>calls
    # A 32-bit process seeks by _llseek, which returns the position through its third argument.
    sed -E 's/^([a-z0-9_]+)\([0-9]+/\1(fd/; s/ +=/ =/
        s/^_llseek\(fd, ([0-9]+), \[\1\], SEEK_SET\) = 0$/lseek(fd, \1, SEEK_SET) = \1/' trace |
        diff calls - >&2 || fail 'the calls on the file differ'
fi
if [ -f before ]; then
    # After a failed write the byte may or may not have changed; no other byte may.
    cp before patched && put "$patched_at" '\x73' patched
    if [ "$last" = patched ]; then
        cmp patched "$path" >&2 || fail 'the file is not patched'
    elif [ "$last" != write ] || ! cmp -s patched "$path"; then
        cmp before "$path" >&2 || fail 'the file is not what it should be afterwards'
    fi
elif [ "$file" = missing ] && [ -e "$path" ]; then
    fail 'the missing file was created'
fi
exit "$failed"
