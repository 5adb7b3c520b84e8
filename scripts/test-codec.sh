#!/usr/bin/env bash
# The WIC codec and thumbnail provider under Wine, 64-bit then 32-bit,
# each width in a prefix of its own, through the imaging factory, COM and
# regsvr32 (tests/codec/windows). The 64-bit run also writes its 96-pixel
# thumbnails, which are laid out on one sheet: build/codec-thumbnails.png.
set -euo pipefail
cd "$(dirname "$0")/.."
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }
shots=build/codec-thumbnails
for bits in 64 32; do
  plugin=$([ "$bits" = 64 ] && echo Mornel.sph || echo Mornel.spi)
  extra=()
  if [ "$bits" = 64 ]; then
    rm -rf "$shots"
    mkdir -p "$shots"
    extra=(MORNEL_CODEC_SHOTS="$(winpath "$shots")")
  fi
  env MORNEL_PLUGIN="$(winpath "dist/win$bits/$plugin")" MORNEL_CODEC="$(winpath "dist/win$bits/MornelCodec$bits.dll")" \
    "${extra[@]}" scripts/wine.sh --bits "$bits" codec "build/win$bits/tests/codec/codec_windows_tests.exe" --gtest_brief=1
  echo "codec: the $bits-bit codec passed"
done
/usr/bin/python3 scripts/thumbnail-sheet.py "$shots" build/codec-thumbnails.png
