#!/usr/bin/env bash
# Checks that a shipped program is what users can run as it is. The Windows one, on every Windows
# from XP SP3 on, on a Pentium III: a console program that needs no DLL beyond Windows' own, uses
# no MMX or SSE, and declares itself a modern program in a manifest XP accepts. The Linux one, on
# any x86-64 Linux from 3.2 on: one file that loads nothing. And the guide that each archive holds
# for its players.
# Usage: program.sh CASE PROGRAM OBJDUMP
set -euo pipefail

name=$1 exe=$2 objdump=$3 imports=$(dirname "$0")/xp-imports.txt

# What file(1) says of the Linux program; glibc's note names the oldest kernel it starts on.
elf='ELF 64-bit LSB executable, x86-64, .*statically linked, .*for GNU/Linux 3\.2\.0, stripped'

# The elements of the manifest's main namespace that Windows XP knows; it refuses to start a
# program whose manifest has any other there.
xp_elements=(assembly assemblyIdentity dependency dependentAssembly file noInherit description)

# The functions the program imports, a line each: the DLL, then the function.
imported() {
    "$objdump" -p "$exe" | awk '/DLL Name:/ {dll = $3}
        /^\t[0-9a-f]+\t +[0-9]+ / {print dll, $3}' | sort
}

case $name in
pe.format) file -b "$exe" | grep -q -x 'PE32 executable (console) Intel 80386.*' ;;
elf.format) file -b "$exe" | grep -q -x "$elf" ;;
pe.xp)
    # XP is Windows 5.1: it refuses a program that asks for a later one.
    "$objdump" -p "$exe" | awk '$1 == "MajorSubsystemVersion" {major = $2}
        $1 == "MinorSubsystemVersion" {minor = $2}
        END {if (major > 5 || major == 5 && minor > 1) {print "subsystem " major "." minor; exit 1}}'
    diff -u --label listed --label imported \
        <(awk '!/^#/ {for (i = 2; i <= NF; i++) print $1, $i}' "$imports" | sort) <(imported) >&2
    ;;
pe.manifest)
    manifest=$(LC_ALL=C grep -a -z -o '<?xml.*</assembly>' "$exe" | tr -d '\0')
    grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$manifest"
    # Windows before 10 version 1903 sets the program no code page: the tests must meet it so too.
    if grep -q activeCodePage <<<"$manifest"; then
        echo 'the manifest sets a code page' >&2 && exit 1
    fi
    known=$(printf " or local-name() = '%s'" "${xp_elements[@]}")
    unknown="//*[namespace-uri() = 'urn:schemas-microsoft-com:asm.v1' and not(${known# or })]"
    [ "$(xmllint --xpath "count($unknown)" - <<<"$manifest")" = 0 ] ||
        { echo 'the manifest is not one Windows XP starts' >&2 && exit 1; }
    ;;
pe.cpu)
    # A Pentium III has no SSE2, and the program counts on neither MMX nor SSE: no operand names
    # their registers, and none of the few instructions of theirs that name none is used.
    code=$("$objdump" -d "$exe")
    mnemonics='emms|ldmxcsr|stmxcsr|[lms]fence|prefetch[a-z0-9]*|movnti|clflush'
    ! grep -E "%[xyz]?mm[0-9]|$(printf '\t')($mnemonics)( |$)" <<<"$code" >&2
    ;;
guide.windows | guide.linux)
    # The guide packed beside the program: the player's steps and every line the program may end
    # with on that system, none of the other system's steps and lines, nothing of building it, and
    # only line ends that the player's editor shows as such.
    . "$(dirname "$0")/common.sh"
    both=('Keep a backup copy' 'sha256sum -c' 'Verify integrity' "${outcome[@]%%%s*}" "$usage")
    windows=('Ctrl+C, then Ctrl+V' 'onto memwiden.exe' 'Run as administrator' 'Copy as path'
        'certutil -hashfile' "$prompt" '"Unblock"' '"Windows protected your PC"' '"More info"'
        '"Run anyway"' '"Open File - Security Warning"' '"Smart App Control blocked an app'
        'wdsi/filesubmission')
    linux=('tar -xzf' '|| cp "$game/engine.dll" "$game/engine.dll.orig"'
        './memwiden "$game/engine.dll"')
    cd "$(dirname "$exe")"
    if [ "$name" = guide.windows ]; then
        declare -n own=windows other=linux
        guide=README.txt license=LICENSE.txt stray='(?<!\r)$|\r(?!$)'
    else
        declare -n own=linux other=windows
        guide=README license=LICENSE stray='\r'
    fi
    for line in "${both[@]}" "${own[@]}"; do
        grep -q -F -- "$line" "$guide" || { echo "the guide lacks: $line" >&2 && exit 1; }
    done
    if grep -i -E 'cmake|apt-get|ctest|clang|preset|compile|src/|tests/' "$guide" >&2 ||
        printf '%s\n' "${other[@]}" | grep -F -f - "$guide" >&2; then
        exit 1
    fi
    ! grep -l -P "$stray" "$guide" "$license" >&2
    ;;
pe.size) [ "$(stat -c %s "$exe")" -lt 65536 ] ;;
elf.size) [ "$(stat -c %s "$exe")" -le 1048576 ] ;;
*) echo "no case named $name" >&2 && exit 2 ;;
esac
