#!/usr/bin/env bash
# Wine for our tests, every test in a prefix of its own.
#
# Run as a command, it runs one Windows program and then stops that
# prefix's wineserver (and only that one):
#   scripts/wine.sh [--bits 32] PREFIX-NAME PROGRAM.exe [ARGS...]
#
# Sourced, it gives the scripts that keep programs running side by side in
# one prefix (the viewer and the tests' driver) the same prefixes and
# settings:
#   wine_session_begin BITS NAME [fresh]
#                         sets WINEPREFIX and friends for programs of that
#                         width, creates the prefix (anew, with "fresh")
#   wine_for BITS         the loader for programs of that width
#   wine_width BITS       the settings programs of that width need, alone
#   wine_session_end      stops this prefix's wineserver
wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine_loaders=/usr/lib/wine

wine_for() {
  if [ "$1" = 32 ]; then echo "$wine_loaders/wine"; else echo "$wine_loaders/wine64"; fi
}

wine_width() {
  if [ "$1" = 32 ]; then
    # A 64-bit session before this one may have left its setting behind.
    unset QEMU_RESERVED_VA
    wine_emulator_shim
  else
    # These prefixes run 64-bit programs only. Where 32-bit code runs
    # through the i386 emulator, creating a prefix would also set up its
    # 32-bit half in emulated processes; this emulator setting leaves no
    # room for a 32-bit process, so that half is skipped at once. Natively
    # it changes nothing.
    export QEMU_RESERVED_VA=0x1000
  fi
}

# Where 32-bit programs run through the i386 emulator, every emulated
# process preloads our mapping fix (tools/emulator-shim), found through the
# emulator's own path prefix: only etc/ld.so.preload lies under it, every
# other path the program opens falls through to the real one. Natively
# 32-bit programs ignore this setting.
wine_emulator_shim() {
  local shim=$wine_root/build/emulator-shim source=$wine_root/tools/emulator-shim/map_noreplace.c
  if [ ! -f "$shim/map_noreplace.so" ] || [ "$source" -nt "$shim/map_noreplace.so" ]; then
    mkdir -p "$shim/root/etc"
    gcc -m32 -O2 -shared -fPIC -o "$shim/map_noreplace.so" "$source"
    echo "$shim/map_noreplace.so" >"$shim/root/etc/ld.so.preload"
  fi
  export QEMU_LD_PREFIX=$shim/root
}

wine_session_begin() {
  local bits=$1 name=$2 fresh=${3:-}
  # One prefix per checkout, width and purpose, so that parallel runs never share one.
  export WINEPREFIX=/tmp/mornel-wine-$(basename "$wine_root")-$bits-$name
  if [ "$fresh" = fresh ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null
    rm -rf "$WINEPREFIX"
  fi
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  wine_width "$bits"
  if [ ! -d "$WINEPREFIX" ]; then
    "$(wine_for 64)" wineboot --init >/dev/null 2>&1 || true
  fi
}

wine_session_end() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  bits=64
  if [ "${1:-}" = --bits ]; then
    bits=$2
    shift 2
  fi
  wine_session_begin "$bits" "$1"
  shift
  "$(wine_for "$bits")" "$@"
  status=$?
  wine_session_end
  exit $status
fi
