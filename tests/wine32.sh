#!/usr/bin/env bash
# Makes a private Wine that runs 32-bit Windows programs here, where the kernel cannot run i386
# code: the i386 loader runs under qemu user mode. Usage: wine32.sh DIR; DIR/lib/wine/wine is then
# the runner. Exits 1, saying what is missing, on a machine without the pieces.
set -euo pipefail

dir=$1
# Older qemu maps the loader's libraries where Wine needs its own memory, and Wine dies at start.
qemu=$(qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p' || true)
if [ "${qemu:-0}" -lt 10 ] || [ ! -x /usr/lib/wine/wine64 ] ||
    [ ! -d /usr/lib/i386-linux-gnu/wine ]; then
    echo 'qemu-user 10 from bookworm-backports, wine64 or wine32:i386 is missing'
    exit 1
fi

# Wine finds its libraries from the real path of the running loader, and starts a 32-bit program
# through the loader of the same folder whose name lacks the "64": so both are copies here, and
# the 32-bit one is reached through qemu. A copy may be running, so it is replaced, not rewritten.
mkdir -p "$dir/lib/wine" "$dir/lib/x86_64-linux-gnu" "$dir/lib/i386-linux-gnu" "$dir/share"
cp --remove-destination /usr/lib/wine/wine64 "$dir/lib/wine/wine64"
cp --remove-destination /usr/lib/wine/wine "$dir/lib/wine/wine.i386"
ln -sfn /usr/lib/wine/wineserver "$dir/lib/wine/wineserver"
ln -sfn /usr/lib/x86_64-linux-gnu/wine "$dir/lib/x86_64-linux-gnu/wine"
ln -sfn /usr/lib/i386-linux-gnu/wine "$dir/lib/i386-linux-gnu/wine"
ln -sfn /usr/share/wine "$dir/share/wine"
# -0 keeps this script as the loader's name, so that 32-bit children start the same way;
# WINELOADERNOEXEC keeps the preloader from starting the loader again outside qemu.
cat >"$dir/lib/wine/wine" <<'LOADER'
#!/bin/sh
here=$(dirname "$0")
WINELOADERNOEXEC=1 exec qemu-i386 -0 "$here/wine" "$here/wine.i386" "$@"
LOADER
chmod 755 "$dir/lib/wine/wine"
