#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in a prefix of its own, then
# stops that prefix's wineserver (and only that one).
#   scripts/wine.sh PREFIX-NAME PROGRAM.exe [ARGS...]
set -uo pipefail
name=$1; shift
# One prefix per checkout and purpose, so that parallel runs never share one.
export WINEPREFIX=/tmp/mornel-wine-$(basename "$PWD")-$name
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# These prefixes run 64-bit programs only. Where 32-bit code runs through
# the i386 emulator, creating a prefix would also set up its 32-bit half,
# minutes of emulated work; this emulator setting leaves no room for a
# 32-bit process, so that half is skipped at once. Natively it changes nothing.
export QEMU_RESERVED_VA=0x1000
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ ! -d "$WINEPREFIX" ]; then
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi
"$wine" "$@"
status=$?
wineserver -k 2>/dev/null || true
exit $status
