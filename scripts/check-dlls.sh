#!/usr/bin/env bash
# Checks the DLL builds: machine type, exactly the expected exports under
# their plain names, and no import but Windows' own DLLs.
set -euo pipefail
fail=0
SUSIE_EXPORTS="GetPicture GetPictureInfo GetPluginInfo IsSupported"
# The plug-in needs only the kernel and the C runtime; xxgrp.dll also
# reaches the imaging component through COM.
PLUGIN_IMPORTS="kernel32.dll msvcrt.dll user32.dll advapi32.dll"
XXGRP_IMPORTS="$PLUGIN_IMPORTS ole32.dll oleaut32.dll"
check() {
  local dll=$1 format=$2 objdump=$3 expected_exports=$4 allowed_imports=$5
  local dump; dump=$($objdump -p "$dll")
  if ! grep -q "file format $format" <<<"$dump"; then echo "$dll: not $format"; fail=1; fi
  local exports
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^\t\[/ {print $NF} on && /^$/ {on=0}' <<<"$dump" | sort | tr '\n' ' ')
  local wanted; wanted=$(tr ' ' '\n' <<<"$expected_exports" | sort | tr '\n' ' ')
  if [ "$exports" != "$wanted" ]; then
    echo "$dll: exports are '$exports'"; fail=1
  fi
  local imports
  imports=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u | tr '\n' ' ')
  for i in $imports; do
    case " $allowed_imports " in *" $i "*) continue ;; esac
    case $i in api-ms-win-*) ;; *) echo "$dll: imports $i"; fail=1 ;; esac
  done
  echo "$dll: $format; exports $exports; imports $imports"
}
check dist/win32/Mornel.spi pei-i386 i686-w64-mingw32-objdump "$SUSIE_EXPORTS" "$PLUGIN_IMPORTS"
check dist/win64/Mornel.sph pei-x86-64 x86_64-w64-mingw32-objdump "$SUSIE_EXPORTS" "$PLUGIN_IMPORTS"
check dist/win32/xxgrp.dll pei-i386 i686-w64-mingw32-objdump "$SUSIE_EXPORTS GetModuleInstance" "$XXGRP_IMPORTS"
check dist/win64/xxgrp.dll pei-x86-64 x86_64-w64-mingw32-objdump "$SUSIE_EXPORTS GetModuleInstance" "$XXGRP_IMPORTS"
exit $fail
