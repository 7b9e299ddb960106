# What memwiden must print and change, stated once for the tests that check it, which read this.
# shellcheck shell=bash disable=SC2034,SC2154 # its readers use what it sets, and set name

# The window that engine.dll 1.20 holds at this offset, and the one byte of it that the patch
# changes, from 7D to 73.
offset=1025168
window='\xC8\x2B\xB4\x20\x7D\x12\x50\x68\x98\xCC\x1A\x20\xE8\x0F\xFE\xFF'
patched_at=$((offset + 4))

# put OFFSET BYTES FILE: overwrites bytes in place, as the program does.
put() { printf %b "$2" | dd of="$3" bs=1 seek="$1" conv=notrunc status=none; }
# engine SIZE FILE: a file of that size that holds the window, and random bytes around it.
engine() { head -c "$1" /dev/urandom >"$2" && put "$offset" "$window" "$2"; }

# banner VERSION: what every run prints first.
banner() {
    printf 'memwiden %s (c) 2026 the memwiden developers\n\n' "$1"
    printf "This program is meant to fix the sourge 'engine.dll' used by\n"
    printf "'Nightfall Covenant'(TM) so that it will work\n"
    printf 'on machines with more than 2GB of RAM.\n\n'
    printf 'The game must be patched to version 1.20 for this to work.\n\n'
    printf 'There is no guarantee that it will function correctly.\n\n'
    printf "Keep a backup copy of 'engine.dll': the change is made in place.\n\n"
}
# The lines a run may end with, by name; '%s' stands for the path. Each error line is followed by
# the usage line, which also stands alone after a wrong count of arguments.
declare -A outcome=(
    [patched]="Successfully patched file '%s'!"
    [no_signature]="Error: Expected signature was not found in '%s'!"
    [open]="Error: Unable to open file '%s'!"
    [read]="Error: Unable to read a signature from '%s'!"
    [seek]="Error: Unable to seek to the proper position in '%s'!"
    [write]="Error: Unable to write the modifications to '%s'!"
)
usage='Usage: memwiden <engine.dll path>'
# printed VERSION OUTCOME PATH STATUS: all that a run prints: the banner, the outcome line by its
# name (none for -) with the path, and the usage line after any run that did not patch.
printed() {
    banner "$1"
    # shellcheck disable=SC2059 # the outcome is the format, with the path as its argument
    [ "$2" = - ] || printf "${outcome[$2]}\n" "$3"
    [ "$4" -eq 0 ] || printf '%s\n' "$usage"
}
# Windows alone shows it, in a console window that was opened for the run.
prompt='Press Enter to close this window.'
# missing WHAT: ends a check that cannot run here for want of WHAT. Under CI, which runs every
# check, it fails; elsewhere it is skipped, with CTest's skip code.
missing() {
    echo "$name: $1 is missing" >&2
    [ "${CI:-}" = true ] || exit 77
    exit 1
}
# need TOOL: goes on only where the command TOOL is found, and else ends the check as missing does.
need() { command -v "$1" >/dev/null || missing "$1"; }
