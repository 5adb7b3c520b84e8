#!/usr/bin/env bash
# Checks the Windows builds: machine type, exactly the expected exports
# under their plain names (none for the programs), and no import but
# Windows' own DLLs.
set -euo pipefail
fail=0
SUSIE_EXPORTS="GetPicture GetPictureInfo GetPluginInfo IsSupported"
# The plug-in needs only the kernel and the C runtime; xxgrp.dll also
# reaches the imaging component through COM.
PLUGIN_IMPORTS="kernel32.dll msvcrt.dll user32.dll advapi32.dll"
XXGRP_IMPORTS="$PLUGIN_IMPORTS ole32.dll oleaut32.dll"
# The viewer adds the window, dialog, printing and shell parts of Windows.
TRELLIN_IMPORTS="$XXGRP_IMPORTS comctl32.dll comdlg32.dll gdi32.dll shell32.dll version.dll winspool.drv"
check() {
  local dll=$1 format=$2 objdump=$3 expected_exports=$4 allowed_imports=$5
  local dump; dump=$($objdump -p "$dll")
  if ! grep -q "file format $format" <<<"$dump"; then echo "$dll: not $format"; fail=1; fi
  local exports
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^\t\[/ {print $NF} on && /^$/ {on=0}' <<<"$dump" | sort | tr '\n' ' ')
  local wanted=""
  [ -z "$expected_exports" ] || wanted=$(tr ' ' '\n' <<<"$expected_exports" | sort | tr '\n' ' ')
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
for bits in 32 64; do
  if [ $bits = 32 ]; then format=pei-i386 objdump=i686-w64-mingw32-objdump; else format=pei-x86-64 objdump=x86_64-w64-mingw32-objdump; fi
  check dist/win$bits/Trellin.exe $format $objdump "" "$TRELLIN_IMPORTS"
  check dist/win$bits/spicompose.exe $format $objdump "" "$PLUGIN_IMPORTS"
  check dist/win$bits/spiconv.exe $format $objdump "" "$PLUGIN_IMPORTS"
done
exit $fail
