#!/usr/bin/env bash
# Makes the runner of the 32-bit Windows program, DIR/lib/wine/wine: the system's own i386 Wine
# where this kernel runs i386 code, or that Wine under qemu user mode where it cannot, or where
# QEMU is ON. Usage: wine32.sh DIR [QEMU]. Says which runner it made and why, or exits 1 saying
# what is missing.
set -euo pipefail

dir=$1 qemu=${2:-OFF} system=/usr/lib/wine
if [ ! -x $system/wine64 ] || [ ! -x $system/wine ]; then
    echo 'wine64 or wine32:i386 is missing' && exit 1
fi
# A runner of the other kind may be left from an earlier build; a copy of it that still runs
# keeps its own file until it ends.
rm -rf "$dir" && mkdir -p "$dir/lib"
if [ "$qemu" != ON ] && $system/wine --version >/dev/null 2>&1; then
    ln -s $system "$dir/lib/wine" && echo "the system's own i386 Wine, which this kernel runs"
    exit 0
fi
why='this kernel cannot run i386 code'
[ "$qemu" != ON ] || why='as asked'
# Older qemu maps the loader's libraries where Wine needs its own memory, and Wine dies at start.
have=$(qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p') || true
if [ "${have:-0}" -lt 10 ]; then
    echo "$why, and qemu-user 10 from bookworm-backports is missing" && exit 1
fi

# Wine finds its libraries from the real path of the running loader, and starts a 32-bit program
# through the loader of the same folder whose name lacks the "64": so both are copies here, and
# the 32-bit one is reached through qemu.
mkdir -p "$dir/lib/wine" "$dir/lib/x86_64-linux-gnu" "$dir/lib/i386-linux-gnu" "$dir/share"
cp $system/wine64 "$dir/lib/wine/wine64"
cp $system/wine "$dir/lib/wine/wine.i386"
ln -s $system/wineserver "$dir/lib/wine/wineserver"
ln -s /usr/lib/x86_64-linux-gnu/wine "$dir/lib/x86_64-linux-gnu/wine"
ln -s /usr/lib/i386-linux-gnu/wine "$dir/lib/i386-linux-gnu/wine"
ln -s /usr/share/wine "$dir/share/wine"
# -0 keeps this script as the loader's name, so that 32-bit children start the same way;
# WINELOADERNOEXEC keeps the preloader from starting the loader again outside qemu.
cat >"$dir/lib/wine/wine" <<'LOADER'
#!/bin/sh
here=$(dirname "$0")
WINELOADERNOEXEC=1 exec qemu-i386 -0 "$here/wine" "$here/wine.i386" "$@"
LOADER
chmod 755 "$dir/lib/wine/wine"
echo "the system's own i386 Wine under qemu user mode: $why"
