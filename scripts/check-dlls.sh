#!/usr/bin/env bash
# Checks the two plug-in builds: machine type, exactly the four Susie
# exports under their plain names, and no import but Windows' own DLLs.
set -euo pipefail
fail=0
check() {
  local dll=$1 format=$2 objdump=$3
  local dump; dump=$($objdump -p "$dll")
  if ! grep -q "file format $format" <<<"$dump"; then echo "$dll: not $format"; fail=1; fi
  local exports
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^\t\[/ {print $NF} on && /^$/ {on=0}' <<<"$dump" | sort | tr '\n' ' ')
  if [ "$exports" != "GetPicture GetPictureInfo GetPluginInfo IsSupported " ]; then
    echo "$dll: exports are '$exports'"; fail=1
  fi
  local imports
  imports=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u | tr '\n' ' ')
  for i in $imports; do
    case $i in kernel32.dll|msvcrt.dll|user32.dll|advapi32.dll|api-ms-win-*) ;;
      *) echo "$dll: imports $i"; fail=1 ;; esac
  done
  echo "$dll: $format; exports $exports; imports $imports"
}
check dist/win32/Mornel.spi pei-i386 i686-w64-mingw32-objdump
check dist/win64/Mornel.sph pei-x86-64 x86_64-w64-mingw32-objdump
exit $fail
