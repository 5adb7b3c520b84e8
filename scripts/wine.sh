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
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ ! -d "$WINEPREFIX" ]; then
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi
"$wine" "$@"
status=$?
wineserver -k 2>/dev/null || true
exit $status
