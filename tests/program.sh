#!/usr/bin/env bash
# Checks what users download. The Windows program, on every Windows from XP SP3 on, on
# a Pentium III: a console program that needs no DLL beyond Windows' own, uses no MMX or SSE, and
# declares itself a modern program in a manifest XP accepts. The Linux one, on any x86-64 Linux
# from 3.2 on: one file that loads nothing. The archive that holds each, with the player's guide,
# which must read and run as it is written, and which anyone can build again to the same bytes.
# Usage: program.sh CASE VERSION PROGRAM OBJDUMP
set -euo pipefail

name=$1 version=$2 exe=$3 objdump=$4
tests=$(cd "$(dirname "$0")" && pwd) build=$(dirname "$exe") imports=$tests/xp-imports.txt
# shellcheck source=tests/common.sh
. "$tests/common.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$build"
# What this release packs, named by its version: a build folder may still hold an older one's.
release=memwiden-$version-linux-x86_64 archive=$release.tar.gz
[[ $exe != *.exe ]] || release=memwiden-$version-win32 archive=$release.zip

# What file(1) says of the Linux program; glibc's note names the oldest kernel it starts on.
elf='ELF 64-bit LSB executable, x86-64, .*statically linked, .*for GNU/Linux 3\.2\.0, stripped'

# The elements of the manifest's main namespace that Windows XP knows; it refuses to start a
# program whose manifest has any other there.
xp_elements=(assembly assemblyIdentity dependency dependentAssembly file noInherit description)

case $name in
pe.format) need file && file -b "$exe" | grep -q -x 'PE32 executable (console) Intel 80386.*' ;;
elf.format) need file && file -b "$exe" | grep -q -x "$elf" ;;
pe.xp)
    # XP is Windows 5.1: it refuses a program that asks for a later one.
    "$objdump" -p "$exe" | awk '$1 == "MajorSubsystemVersion" {major = $2}
        $1 == "MinorSubsystemVersion" {minor = $2}
        END {if (major > 5 || major == 5 && minor > 1) {print "subsystem " major "." minor; exit 1}}'
    # The functions the program imports, a line each: the DLL, then the function.
    diff -u --label listed --label imported \
        <(awk '!/^#/ {for (i = 2; i <= NF; i++) print $1, $i}' "$imports" | sort) \
        <("$objdump" -p "$exe" | awk '/DLL Name:/ {dll = $3}
            /^\t[0-9a-f]+\t +[0-9]+ / {print dll, $3}' | sort) >&2
    ;;
pe.manifest)
    need xmllint && manifest=$(LC_ALL=C grep -a -z -o '<?xml.*</assembly>' "$exe" | tr -d '\0')
    grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$manifest"
    known=$(printf " or local-name() = '%s'" "${xp_elements[@]}")
    unknown="//*[namespace-uri() = 'urn:schemas-microsoft-com:asm.v1' and not(${known# or })]"
    [ "$(xmllint --xpath "count($unknown)" - <<<"$manifest")" = 0 ] ||
        { echo 'the manifest is not one Windows XP starts' >&2 && exit 1; }
    # Windows before 10 version 1903 sets the program no code page: the tests must meet it so too.
    ! grep activeCodePage <<<"$manifest" >&2
    ;;
pe.cpu)
    # A Pentium III has no SSE2, and the program counts on neither MMX nor SSE: no operand names
    # their registers, and none of the few instructions of theirs that name none is used.
    code=$("$objdump" -d "$exe")
    mnemonics='emms|ldmxcsr|stmxcsr|[lms]fence|prefetch[a-z0-9]*|movnti|clflush'
    ! grep -E "%[xyz]?mm[0-9]|$(printf '\t')($mnemonics)( |$)" <<<"$code" >&2
    ;;
guide.windows | guide.linux)
    # The archive holds its guide and license beside the program. The guide has every line the
    # program may end with on that system, none of the other system's steps and lines, nothing of
    # building it, and only line ends that the player's editor shows as such. The tarball lists
    # its entries in name order, not in the order of the packer's disk.
    if [ "$name" = guide.windows ]; then
        need unzip && unzip -q "$archive" -d "$work"
        guide=README.txt license=LICENSE.txt own=("$prompt") other='\./memwiden'
        stray='(?<!\r)$|\r(?!$)'
    else
        tar -xzf "$archive" -C "$work"
        tar -tzf "$archive" | LC_ALL=C sort -c
        guide=README license=LICENSE other="memwiden\.exe|$prompt" stray='\r'
        own=('Read-only file system' 'Permission denied' 'No space left on device')
    fi
    cd "$work/$release" && test -s "$license"
    for line in "${outcome[@]%%%s*}" "$usage" "${own[@]}"; do
        grep -q -F -- "$line" "$guide" || { echo "the guide lacks: $line" >&2 && exit 1; }
    done
    ! grep -i -E "$other|cmake|apt-get|ctest|clang|preset|compile|src/|tests/" "$guide" >&2 ||
        exit 1
    ! grep -l -P "$stray" "$guide" "$license" >&2 || exit 1
    [ "$name" = guide.linux ] || exit 0
    # The Linux lines, as a player pastes them into bash: the download page's, in a terminal that
    # opens in the home folder, then the packed guide's, thrice, and its undo, in one that opens in
    # the game's folder. In three homes: one whose desktop names a download folder of a translated
    # name, one whose desktop names none, and one without xdg-user-dir, where the browser saved
    # into ~/Downloads; and in a fourth, whose game lies on an SD card, in folders whose names hold
    # a space and a letter beyond ASCII. The download check says OK. The game's disk is full at
    # the first run of the guide's lines, which then stop before memwiden; once it is freed, the
    # next run patches and the last finds the file patched, each showing only what memwiden
    # prints. No copy kept is ever other than the original, and the undo puts it back.
    need xdg-user-dir
    mkdir "$work/bin" && ln -s -f /bin/* /usr/bin/* "$work/bin" && rm "$work/bin/xdg-user-dir"
    # plays DIR FILE N: whether the Nth block of code in FILE, as a player copies it, prints what
    # the input holds and ends so, when run in a new bash started in DIR with a new player's
    # environment, in which the full disk's cp comes first while it lasts.
    plays() {
        local block='/^    / {b += !c} {c = /^    /} c && b == n {sub(/ +/, ""); print}'
        diff -u --label expected --label "$1" - <(env -i -C "$1" HOME="$home" \
            PATH="$work/full:$path" LANG=C.UTF-8 bash -c "$(awk -v n="$3" "$block" "$2")" \
            </dev/null 2>&1 && echo 'status 0' || echo "status $?") >&2
    }
    while read -r home downloads path game; do
        home=$work/$home game=$work/$game
        mkdir -p "$home/.config" "$home/$downloads" "$game"
        [ "$downloads" = Downloads ] ||
            echo "XDG_DOWNLOAD_DIR=\"\$HOME/$downloads\"" >"$home/.config/user-dirs.dirs"
        cp "$build/$archive" "$build/$archive.sha256" "$home/$downloads"
        printf '%s\n' "$archive: OK" 'status 0' |
            plays "$home" <(sed -n '/^## Download for Linux/,$p' "$tests/../README.md") 1
        engine 1048576 "$game/engine.dll" && cp "$game/engine.dll" "$work/original"
        # The full disk, as cp meets it, once: part of the file is written, then the copy fails.
        # shellcheck disable=SC2016 # the stand-in expands its own arguments
        printf '%s\n' '#!/bin/sh' 'head -c 9999 "$1" >"$2"; rm "$0"' \
            "echo 'cp: No space left on device' >&2; exit 1" | install -D /dev/stdin "$work/full/cp"
        printf '%s\n' 'cp: No space left on device' 'status 1' | plays "$game" "$guide" 1
        [ ! -e "$game/engine.dll.orig" ] || cmp "$work/original" "$game/engine.dll.orig" >&2
        for run in 'patched 0' 'no_signature 1'; do
            read -r last status <<<"$run"
            { printed "$version" "$last" engine.dll "$status" && echo "status $status"; } |
                plays "$game" "$guide" 1
            cmp "$work/original" "$game/engine.dll.orig" >&2
        done
        echo 'status 0' | plays "$game" "$guide" 2
        cmp "$work/original" "$game/engine.dll" >&2
    done <<HOMES
named   Téléchargements /usr/bin:/bin named/.local/share/Steam/steamapps/common/Nightfall Covenant
unnamed Downloads       /usr/bin:/bin unnamed/.steam/steam/steamapps/common/Nightfall Covenant
no_xdg  Downloads       $work/bin     no_xdg/.steam/steam/steamapps/common/Nightfall Covenant
sd_card Downloads       /usr/bin:/bin run/media/deck/Jeux Sûrs/steamapps/common/Nightfall Covenant
HOMES
    ;;
pack.rebuild)
    # The checksum published beside the archive is its own, and anyone who builds the release
    # again gets the same bytes: a second build, from a clone in a folder of another name and
    # depth, under another umask and time zone and at a later time, makes the same program, packs
    # the same archive and records the same toolchain. The clone takes the changes not yet
    # committed too, so that a change can be checked before it is, but not the files not yet
    # added, which the build does not read.
    sha256sum --quiet -c "$archive.sha256" >&2
    preset=${build##*/build-} clone=$work/elsewhere/rebuilt source=$tests/..
    need git && git clone -q "$source" "$clone"
    git -C "$source" diff HEAD --binary | git -C "$clone" apply --allow-empty
    (cd "$clone" && umask 077 && export TZ=UTC-14 &&
        cmake --preset "$preset" -D BUILD_TESTING=OFF && cmake --build --preset "$preset" &&
        cpack --preset "$preset") >&2
    sha256sum "${exe##*/}" "$archive" "$archive.sha256" "$release.buildinfo" >"$work/sums"
    (cd "$clone/build-$preset" && sha256sum --quiet -c "$work/sums") >&2
    # The record names the commit, and says so when the packed tree differs from it, as the
    # clone does once changed and packed again.
    commit='Commit: [0-9a-f]{40}, of [0-9T:+-]+'
    ! git -C "$source" diff --quiet HEAD || grep -q -E -x "$commit" "$release.buildinfo"
    echo >>"$clone/LICENSE" && (cd "$clone" && cpack --preset "$preset") >&2
    grep -q -E -x "$commit, and the packed tree differs from it" \
        "$clone/build-$preset/$release.buildinfo"
    ;;
*) echo "no case named $name" >&2 && exit 2 ;;
esac
