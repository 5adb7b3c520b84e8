#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, then stops
# that prefix's wineserver (and only that one).
#   scripts/wine.sh [--bits 32] PREFIX-NAME PROGRAM.exe [ARGS...]
set -uo pipefail
bits=64
if [ "${1:-}" = --bits ]; then
  bits=$2
  shift 2
fi
name=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
# One prefix per checkout, width and purpose, so that parallel runs never share one.
export WINEPREFIX=/tmp/mornel-wine-$(basename "$root")-$bits-$name
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine64=/usr/lib/wine/wine64
if [ "$bits" = 32 ]; then
  source "$root/scripts/emulator-env.sh"
  wine=/usr/lib/wine/wine
else
  # These prefixes run 64-bit programs only. Where 32-bit code runs through
  # the i386 emulator, creating a prefix would also set up its 32-bit half
  # in emulated processes; this emulator setting leaves no room for a
  # 32-bit process, so that half is skipped at once. Natively it changes
  # nothing.
  export QEMU_RESERVED_VA=0x1000
  wine=$wine64
fi
if [ ! -d "$WINEPREFIX" ]; then
  "$wine64" wineboot --init >/dev/null 2>&1 || true
fi
"$wine" "$@"
status=$?
wineserver -k 2>/dev/null || true
exit $status
