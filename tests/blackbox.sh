#!/usr/bin/env bash
# Runs memwiden as a user would, on a file made here, and checks its status, output and the file.
# Usage: blackbox.sh CASE VERSION PROGRAM [RUNNER...]; exits 77 for a case this platform cannot run.
set -euo pipefail

name=$1 version=$2 program=$3
shift 3
runner=("$@")
. "$(dirname "$0")/common.sh"

# cp: the code page Windows runs the program under (Western, Cyrillic or Japanese); folder: where
# the file lies (_ stands for a space); file: what lies at the path; how: the command line and its
# conditions; the exit status; the outcome line that ends the output, by its name in common.sh,
# or - for none.
cases() {
    cat <<'TABLE'
# the argument count: banner and usage only, the file untouched
args.none         1252 game     good      none   1 -
args.two          1252 game     good      two    1 -
# the one change, made only where the window matches
patch.ok          1252 game     good      path   0 patched
patch.exact_end   1252 game     exact     path   0 patched
patch.twice       1252 game     patched   path   1 no_signature
# folders named in any script open under any code page, and their names come back byte for byte
path.mixed_1252   1252 Игры_ゲーム_Äpfel_ألعاب_🎮 good path 0 patched
path.mixed_1251   1251 Игры_ゲーム_Äpfel_ألعاب_🎮 good path 0 patched
path.mixed_932    932  Игры_ゲーム_Äpfel_ألعاب_🎮 good path 0 patched
# refusals that leave the file as it was
refuse.first_byte 1252 game     first     path   1 no_signature
refuse.mid_byte   1252 game     middle    path   1 no_signature
refuse.last_byte  1252 game     last      path   1 no_signature
refuse.short_file 1252 game     short     path   1 read
refuse.missing    1252 game     missing   path   1 open
refuse.directory  1252 game     directory path   1 open
refuse.read_only  1252 game     good      nobody 1 open
refuse.empty_arg  1252 game     good      empty  1 open
# the system refuses the seek or the write, or fails to sync or close the file after it (strace
# makes the call fail with the error named): a file system that turned read-only has lost the
# write, one that cannot sync took it
io.seek_fifo      1252 game     fifo      path   1 seek
io.write_refused  1252 game     good      limit  1 write
io.sync_failed    1252 game     good      fsync=EROFS 1 write
io.sync_none      1252 game     good      fsync=EINVAL 0 patched
io.close_failed   1252 game     good      close=EIO 1 write
# the reader of the output has gone: the status still tells what became of the file
io.output_gone    1252 game     good      gone   0 -
TABLE
}

row=$(cases | awk -v n="$name" '$1 == n')
[ -n "$row" ] || { echo "no case named $name" >&2 && exit 2; }
read -r _ cp folder file how status last <<<"$row"

# Only Wine reads the code page. Wine runs only as the owner of its prefix, and Windows closes a
# file without a word of what became of its data. Wine answers a flush that fails with EISDIR as
# Windows answers one that the file system cannot do.
windows=false
if [[ $program != *.exe ]]; then
    [ "$cp" = 1252 ] || exit 77
else
    windows=true
    [[ $how != nobody && $how != close=* ]] || exit 77
    how=${how/#fsync=EINVAL/fsync=EISDIR}
    declare -A locales=([1252]=C.UTF-8 [1251]=ru_RU.UTF-8 [932]=ja_JP.UTF-8)
    wine_in "${locales[$cp]}"
    runner=("${wine[@]}" "${runner[@]}")
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder=${folder//_/ }
chmod 755 "$work" && cd "$work" && mkdir -m 755 "$folder"
path="$folder/engine.dll"
arg=$path

case $file in
good) engine 1048576 "$path" ;;
exact) engine $((offset + 16)) "$path" ;;
patched) engine 1048576 "$path" && put "$patched_at" '\x73' "$path" ;;
first) engine 1048576 "$path" && put "$offset" '\xC9' "$path" ;;
middle) engine 1048576 "$path" && put $((offset + 9)) '\xCD' "$path" ;;
last) engine 1048576 "$path" && put $((offset + 15)) '\xFE' "$path" ;;
short) engine $((offset + 16)) "$path" && truncate -s $((offset + 15)) "$path" ;;
directory) mkdir "$path" ;;
fifo) mkfifo "$path" ;;
esac
[ -f "$path" ] && cp "$path" before

run() { "${runner[@]}" "${program[@]}" "$@" >out 2>err; }
set +e
case $how in
none) run ;;
two) run "$path" "$path" ;;
path) run "$path" ;;
*=*)
    # The sanitizers' leak check cannot run in a traced program; the other rows make it. Only the
    # program's first thread is traced, which makes the call, and not the Wine services it may
    # start, which outlive it.
    runner=(strace -o /dev/null -E ASAN_OPTIONS=detect_leaks=0 -P "$PWD/$path"
        -e inject="${how%=*}:error=${how#*=}" "${runner[@]}")
    run "$path"
    ;;
gone)
    # The pipe's reader ends before the program starts, and nothing reads the output.
    exec {pipe}> >(:)
    wait $!
    "${runner[@]}" "$program" "$path" >&$pipe 2>err
    ;;
empty) arg='' && run '' ;;
limit) (trap '' XFSZ && ulimit -f 1000 && run "$path") ;;
nobody)
    # Root may write anywhere, so the refusal is only real for an ordinary user.
    chmod 444 "$path"
    if [ "$(id -u)" -eq 0 ]; then
        cp "$program" . && program=(setpriv --reuid=nobody --regid=nogroup --clear-groups ./"${program##*/}")
    fi
    run "$path"
    ;;
esac
got=$?
set -e

{
    banner "$version"
    # shellcheck disable=SC2059 # the outcome is the format, with the path as its argument
    [ "$last" = - ] || printf "${outcome[$last]}\n" "$arg"
    [ "$status" -eq 0 ] || printf '%s\n' "$usage"
} >expected
# Windows writes its standard output in text mode: every line ends in CR LF.
! $windows || sed -i 's/$/\r/' expected
[ "$how" != gone ] || : >expected >out

failed=0
fail() { echo "$name: $*" >&2 && failed=1; }
[ "$got" -eq "$status" ] || fail "exit status $got, expected $status"
cmp -s out expected || { fail 'standard output differs' && diff expected out >&2 || true; }
[ ! -s err ] || fail "standard error is not empty: $(cat err)"
if [ -f before ]; then
    # After a failed write the byte may or may not have changed; no other byte may.
    cp before patched && put "$patched_at" '\x73' patched
    if [ "$status" -eq 0 ]; then
        cmp patched "$path" >&2 || fail 'the file is not patched'
    elif [ "$last" != write ] || ! cmp -s patched "$path"; then
        cmp before "$path" >&2 || fail 'the file is not what it should be afterwards'
    fi
elif [ "$file" = missing ] && [ -e "$path" ]; then
    fail 'the missing file was created'
fi
exit "$failed"
