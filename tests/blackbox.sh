#!/usr/bin/env bash
# Runs memwiden as a user would, on a file made here, and checks its status, output and the file.
# Usage: blackbox.sh CASE VERSION PROGRAM [RUNNER...]; exits 77 for a case this platform cannot run.
set -euo pipefail

name=$1 version=$2 program=$3
shift 3
runner=("$@")

# file: what lies at the path; how: the command line and its conditions; outcome: the last lines.
cases() {
    cat <<'TABLE'
# name             file       how      status  outcome
# the argument count: banner and usage only, the file untouched
args.none          good       none     1       usage
args.two           good       two      1       usage
args.three         good       three    1       usage
# the one change, made only where the window matches
patch.ok           good       path     0       patched
patch.exact_end    exact      path     0       patched
patch.twice        patched    path     1       signature
# refusals that leave the file as it was
refuse.first_byte  first      path     1       signature
refuse.last_byte   last       path     1       signature
refuse.short_file  short      path     1       read
refuse.missing     missing    path     1       open
refuse.directory   directory  path     1       open
refuse.read_only   good       nobody   1       open
refuse.empty_arg   good       empty    1       open
# the system refuses the seek or the write
io.seek_fifo       fifo       path     1       seek
io.write_refused   good       limit    1       write
TABLE
}

row=$(cases | awk -v n="$name" '$1 == n')
[ -n "$row" ] || { echo "no case named $name" >&2; exit 2; }
read -r _ file how status outcome <<<"$row"

# A file owned by another user, a size limit and a FIFO exist only on POSIX systems.
if [ ${#runner[@]} -gt 0 ] && { [ "$file" = fifo ] || [ "$how" = nobody ] || [ "$how" = limit ]; }; then
    exit 77
fi

offset=1025168
window='\xC8\x2B\xB4\x20\x7D\x12\x50\x68\x98\xCC\x1A\x20\xE8\x0F\xFE\xFF'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cd "$work"
mkdir -m 755 'game dir'
path='game dir/engine.dll'

# put OFFSET BYTES FILE: overwrites bytes in place, as the program does.
put() { printf "$2" | dd of="$3" bs=1 seek="$1" conv=notrunc status=none; }
image() { head -c "$1" /dev/urandom >"$path" && put "$offset" "$window" "$path"; }

case $file in
good) image 1048576 ;;
exact) image $((offset + 16)) ;;
patched) image 1048576 && put $((offset + 4)) '\x73' "$path" ;;
first) image 1048576 && put "$offset" '\xC9' "$path" ;;
last) image 1048576 && put $((offset + 15)) '\xFE' "$path" ;;
short) image $((offset + 16)) && truncate -s $((offset + 15)) "$path" ;;
missing) ;;
directory) mkdir "$path" ;;
fifo) mkfifo "$path" ;;
esac
[ -f "$path" ] && cp "$path" before

arg=$path
run() { "${runner[@]}" "$program" "$@" >out 2>err; }
set +e
case $how in
none) run ;;
two) run "$path" "$path" ;;
three) run "$path" "$path" "$path" ;;
path) run "$path" ;;
empty) arg='' && run '' ;;
limit) (trap '' XFSZ && ulimit -f 1000 && run "$path") ;;
nobody)
    chmod 444 "$path"
    if [ "$(id -u)" -eq 0 ]; then
        cp "$program" ./memwiden
        setpriv --reuid=nobody --regid=nogroup --clear-groups ./memwiden "$path" >out 2>err
    else
        run "$path"
    fi
    ;;
esac
got=$?
set -e

usage='Usage: memwiden <engine.dll path>\n'
case $outcome in
usage) last=$usage ;;
patched) last="Successfully patched file '%s'!\n" ;;
open) last="Error: Unable to open file '%s'!\n$usage" ;;
seek) last="Error: Unable to seek to the proper position in '%s'!\n$usage" ;;
read) last="Error: Unable to read a signature from '%s'!\n$usage" ;;
signature) last="Error: Expected signature was not found in '%s'!\n$usage" ;;
write) last="Error: Unable to write the modifications to '%s'!\n$usage" ;;
esac
{
    printf 'memwiden %s (c) 2026 the memwiden developers\n\n' "$version"
    printf "This program is meant to fix the sourge 'engine.dll' used by\n"
    printf "'Nightfall Covenant'(TM) so that it will work\n"
    printf 'on machines with more than 2GB of RAM.\n\n'
    printf 'The game must be patched to version 1.20 for this to work.\n\n'
    printf 'There is no guarantee that it will function correctly.\n\n'
    printf "Keep a backup copy of 'engine.dll': the change is made in place.\n\n"
    # shellcheck disable=SC2059 # the outcome line is the format, with the path as its argument
    printf "$last" "$arg"
} >expected
# Windows writes its standard output in text mode: every line ends in CR LF.
if [ ${#runner[@]} -gt 0 ]; then
    sed -i 's/$/\r/' expected
fi

failed=0
fail() { echo "$name: $*" >&2 && failed=1; }
[ "$got" -eq "$status" ] || fail "exit status $got, expected $status"
cmp -s out expected || { fail 'standard output differs' && diff expected out >&2 || true; }
[ -s err ] && fail "standard error is not empty: $(cat err)"

case $file in
missing) [ ! -e "$path" ] || fail 'the missing file was created' ;;
directory | fifo) ;;
*)
    if [ "$outcome" = patched ]; then
        put $((offset + 4)) '\x73' before
    fi
    cmp before "$path" >&2 || fail 'the file is not what it should be afterwards'
    ;;
esac
exit "$failed"
