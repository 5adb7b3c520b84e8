#!/usr/bin/env bash
# Checks the Windows builds: machine type, exactly the expected exports
# under their plain names (none for the programs), no import but Windows'
# own known DLLs, ASLR and DEP, no aligned 32-byte vector move on the
# stack, and the viewer's manifest.
set -euo pipefail
fail=0
SUSIE_EXPORTS="GetPicture GetPictureInfo GetPluginInfo IsSupported"
# The plug-in needs only the kernel and the C runtime; xxgrp.dll and
# spiconv also reach the imaging component through COM.
PLUGIN_IMPORTS="kernel32.dll msvcrt.dll user32.dll advapi32.dll"
XXGRP_IMPORTS="$PLUGIN_IMPORTS ole32.dll oleaut32.dll"
# The WIC codec: the COM entry points and registration; the registry,
# COM, a bitmap for thumbnails and the shell's notice of new handlers.
CODEC_EXPORTS="DllCanUnloadNow DllGetClassObject DllInstall DllRegisterServer DllUnregisterServer"
CODEC_IMPORTS="kernel32.dll msvcrt.dll advapi32.dll ole32.dll gdi32.dll shell32.dll"
# The viewer's engine adds the graphics and shell parts of Windows (the
# user's folders for the wallpaper), the viewer the windows, dialogs and
# printing.
ENGINE_IMPORTS="$XXGRP_IMPORTS gdi32.dll shell32.dll"
TRELLIN_IMPORTS="$ENGINE_IMPORTS comctl32.dll comdlg32.dll"
# Windows 10's known DLLs (the KnownDLLs key of the session manager, and
# ntdll, which every process has first): always taken from the system
# folder. Any other library a file imports is looked for in the program's
# folder first, before the program can restrict the search, so a copy
# planted beside it would run; such libraries are loaded at run time from
# the system folder instead. The API sets are no files at all. Common
# controls 6 comes from the side-by-side store where the file's manifest
# names it, never from the program's folder.
KNOWN_DLLS="advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 msctf msvcrt
  normaliz nsi ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32"
COMMON_CONTROLS_6='name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
manifest_of() { tr -s '\n\t ' '   ' <"$1" | grep -ao '<assembly .*</assembly>' || true; }
# Prints each import of the file that Windows would look for beside it.
searched_imports() {
  local file=$1 objdump=$2 i
  for i in $($objdump -p "$file" | grep 'DLL Name:' | awk '{print tolower($3)}' | sort -u); do
    case " $(tr -s '\n ' '  ' <<<"$KNOWN_DLLS") " in *" ${i%.dll} "*) [ "${i##*.}" = dll ] && continue ;; esac
    case $i in api-ms-win-*) continue ;; esac
    if [ "$i" = comctl32.dll ] && grep -qF "$COMMON_CONTROLS_6" <<<"$(manifest_of "$file")"; then continue; fi
    echo "$i"
  done
}
# Prints what the file lacks of address space layout randomisation (a
# movable image with its relocations, anywhere in the 64-bit space) and of
# data execution prevention.
missing_hardening() {
  local file=$1 objdump=$2 dump flags
  dump=$($objdump -p "$file")
  flags=$((16#$(awk '/^DllCharacteristics/ {print $2}' <<<"$dump")))
  (( flags & 0x40 )) || echo DYNAMIC_BASE
  (( flags & 0x100 )) || echo NX_COMPAT
  if grep -q 'file format pei-x86-64' <<<"$dump"; then (( flags & 0x20 )) || echo HIGH_ENTROPY_VA; fi
  (( $(awk '/^Characteristics/ {print $2}' <<<"$dump") & 0x1 )) && echo "relocations (stripped)"
  return 0
}
# Calls Windows 10 has only from version 1607 on: imported, they would keep
# the programs from starting on earlier Windows 10.
LATE_FUNCTIONS='GetDpiForWindow|GetDpiForSystem|SystemParametersInfoForDpi|AdjustWindowRectExForDpi|GetSystemMetricsForDpi'
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
  local searched
  searched=$(searched_imports "$dll" "$objdump" | tr '\n' ' ')
  if [ -n "$searched" ]; then echo "$dll: imports ${searched}which Windows looks for beside it first"; fail=1; fi
  local missing
  missing=$(missing_hardening "$dll" "$objdump" | tr '\n' ' ')
  if [ -n "$missing" ]; then echo "$dll: without ${missing}(ASLR and DEP)"; fail=1; fi
  local late
  late=$(grep -owE "$LATE_FUNCTIONS" <<<"$dump" | sort -u | tr '\n' ' ' || true)
  if [ -n "$late" ]; then echo "$dll: imports $late(looked up at run time instead)"; fail=1; fi
  local spills
  spills=$(aligned_stack_vectors "$dll" "$objdump")
  if [ -n "$spills" ]; then
    echo "$dll: aligned 32-byte vector moves on the stack:"; head -5 <<<"$spills"; fail=1
  fi
  echo "$dll: $format; exports $exports; imports $imports"
}
# A 32-byte vector moved with an instruction that needs it aligned, to or
# from the stack: Windows aligns the stack to 16 bytes (4 in 32-bit code),
# and GCC may spill AVX registers so, which faults on Windows and passes by
# luck elsewhere. Prints the offending instructions.
ALIGNED_VECTOR_MOVE='\bv(movaps|movapd|movdqa(32|64)?|movntps|movntpd|movntdqa?)\b.*%[yz]mm[0-9]+.*\(%[re](sp|bp)\)|\bv(movaps|movapd|movdqa(32|64)?|movntdqa)\b.*\(%[re](sp|bp)\).*%[yz]mm[0-9]+'
aligned_stack_vectors() {
  local file=$1 objdump=$2
  $objdump -d --no-show-raw-insn "$file" | grep -E "$ALIGNED_VECTOR_MOVE" || true
}
# The viewer's manifest, embedded as it was written: common controls 6,
# per-monitor DPI awareness (version 2, then the older form), no elevation,
# Windows 10 and 11. Without it Windows draws the old controls and
# stretches the composite on a scaled display.
MANIFEST_NEEDS=('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
  '>PerMonitorV2, PerMonitor</dpiAwareness>' '>true/pm</dpiAware>'
  'level="asInvoker"' '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>')
check_manifest() {
  local program=$1 need manifest
  manifest=$(manifest_of "$program")
  for need in "${MANIFEST_NEEDS[@]}"; do
    if ! grep -qF "$need" <<<"$manifest"; then echo "$program: manifest without $need"; fail=1; fi
  done
}
# The scan itself must see such a move, and only such a move.
probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
printf '%s\n' 'vmovaps %ymm1,0x20(%rsp)' 'vmovdqa 0x40(%rbp),%ymm2' 'vmovups %ymm3,(%rsp)' \
  'vpand (%rsp),%ymm0,%ymm0' 'vmovaps %xmm4,(%rsp)' >"$probe_dir/probe.s"
x86_64-w64-mingw32-as -o "$probe_dir/probe.o" "$probe_dir/probe.s"
found=$(aligned_stack_vectors "$probe_dir/probe.o" x86_64-w64-mingw32-objdump | wc -l)
if [ "$found" != 2 ]; then echo "the aligned-vector scan finds $found of the probe's 2 moves"; fail=1; fi
# The import and hardening checks must see what a program linked without
# ASLR and DEP and importing version.dll lacks, and nothing in one linked
# as ours are.
printf '%s\n' '#include <windows.h>' 'int main(void) { return (int)GetFileVersionInfoSizeW(L"", 0); }' >"$probe_dir/probe.c"
x86_64-w64-mingw32-gcc -o "$probe_dir/bare.exe" "$probe_dir/probe.c" -lversion \
  -Wl,--disable-dynamicbase,--disable-nxcompat,--disable-high-entropy-va
x86_64-w64-mingw32-gcc -o "$probe_dir/ours.exe" "$probe_dir/probe.c" -lversion
found=$(missing_hardening "$probe_dir/bare.exe" x86_64-w64-mingw32-objdump | tr '\n' ' ')
if [ "$found" != "DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA " ]; then echo "the hardening check finds '$found' missing in the probe"; fail=1; fi
found=$(missing_hardening "$probe_dir/ours.exe" x86_64-w64-mingw32-objdump | tr '\n' ' ')
if [ -n "$found" ]; then echo "the hardening check finds '$found' missing in a program linked as ours are"; fail=1; fi
found=$(searched_imports "$probe_dir/ours.exe" x86_64-w64-mingw32-objdump | tr '\n' ' ')
if [ "$found" != "version.dll " ]; then echo "the import check finds '$found' in the probe importing version.dll"; fail=1; fi

check dist/win32/Mornel.spi pei-i386 i686-w64-mingw32-objdump "$SUSIE_EXPORTS" "$PLUGIN_IMPORTS"
check dist/win64/Mornel.sph pei-x86-64 x86_64-w64-mingw32-objdump "$SUSIE_EXPORTS" "$PLUGIN_IMPORTS"
check dist/win32/xxgrp.dll pei-i386 i686-w64-mingw32-objdump "$SUSIE_EXPORTS GetModuleInstance GetImageWriterW" "$XXGRP_IMPORTS"
check dist/win64/xxgrp.dll pei-x86-64 x86_64-w64-mingw32-objdump "$SUSIE_EXPORTS GetModuleInstance GetImageWriterW" "$XXGRP_IMPORTS"
for bits in 32 64; do
  if [ $bits = 32 ]; then format=pei-i386 objdump=i686-w64-mingw32-objdump; else format=pei-x86-64 objdump=x86_64-w64-mingw32-objdump; fi
  check dist/win$bits/MornelCodec$bits.dll $format $objdump "$CODEC_EXPORTS" "$CODEC_IMPORTS"
  check dist/win$bits/Trellin.exe $format $objdump "" "$TRELLIN_IMPORTS"
  check_manifest dist/win$bits/Trellin.exe
  check dist/win$bits/spicompose.exe $format $objdump "" "$ENGINE_IMPORTS"
  check dist/win$bits/spiconv.exe $format $objdump "" "$XXGRP_IMPORTS"
done
exit $fail
