#!/usr/bin/env bash
# Checks that the Windows program is what users can run as it is: a console program that needs
# no DLL beyond Windows' own, declares itself a modern program, and says what version it is.
# Usage: pe.sh CASE PROGRAM VERSION OBJDUMP FORMAT
set -euo pipefail

name=$1 exe=$2 version=$3 objdump=$4 format=$5

case $name in
pe.format) file -b "$exe" | grep -q "^$format" ;;
pe.imports)
    imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print $3}' | sort | tr '\n' ' ')
    [ "$imports" = 'KERNEL32.dll msvcrt.dll ' ] || { echo "imports: $imports" >&2 && exit 1; }
    ;;
pe.manifest)
    grep -q -a 'requestedExecutionLevel level="asInvoker"' "$exe"
    # Windows before 10 version 1903 sets the program no code page: the tests must meet it so too.
    if grep -q -a activeCodePage "$exe"; then
        echo 'the manifest sets a code page' >&2 && exit 1
    fi
    ;;
pe.version) strings -e l "$exe" | grep -A1 -x ProductVersion | tail -n 1 | grep -q -x "$version" ;;
pe.size) [ "$(stat -c %s "$exe")" -lt 65536 ] ;;
*) echo "no case named $name" >&2 && exit 2 ;;
esac
