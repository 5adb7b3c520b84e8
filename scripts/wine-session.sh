# Sourced by scripts that keep Windows programs running side by side in one
# Wine prefix (the viewer and the tests' driver): the same prefixes and
# settings as scripts/wine.sh, but the prefix's wineserver keeps running
# until wine_session_end stops it (that server and no other).
#
#   wine_session_begin BITS NAME [fresh]
#                                  sets WINEPREFIX and friends, creates the
#                                  prefix (anew, with "fresh")
#   wine_for BITS                  the loader for programs of that width
#   wine_session_end               stops this prefix's wineserver
wine_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

wine_session_begin() {
  local bits=$1 name=$2 fresh=${3:-}
  export WINEPREFIX=/tmp/mornel-wine-$(basename "$wine_session_root")-$bits-$name
  if [ "$fresh" = fresh ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null
    rm -rf "$WINEPREFIX"
  fi
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$bits" = 32 ]; then
    # A 64-bit session before this one may have left its setting behind.
    unset QEMU_RESERVED_VA
    source "$wine_session_root/scripts/emulator-env.sh"
  else
    # As in wine.sh: a prefix for 64-bit programs skips its 32-bit half
    # where that half would run through the i386 emulator.
    export QEMU_RESERVED_VA=0x1000
  fi
  if [ ! -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
  fi
}

wine_for() {
  if [ "$1" = 32 ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

wine_session_end() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  return 0
}
