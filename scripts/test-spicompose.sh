#!/usr/bin/env bash
# spicompose from end to end, 64-bit and 32-bit: the tests' sprite over
# their background, placed (partly off the edge) and centred, in one
# batch, and the written composites compared with the ones worked out by
# scripts/pictures.py. The pictures lie in a folder whose name no ANSI
# code page holds whole.
set -euo pipefail
cd "$(dirname "$0")/.."
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
pictures() { /usr/bin/python3 scripts/pictures.py "$@"; }
failed=0
for bits in 64 32; do
  rm -rf "build/spicompose-$bits"
  work="build/spicompose-$bits/한글 ☃ テスト"
  pictures make "$work"
  w=$(windows_path "$work")
  # The plug-ins are found in the current folder, as the viewer finds them.
  (cd "dist/win$bits" && ../../scripts/wine.sh --bits "$bits" compose spicompose.exe \
     "$w\\scene.bmp" "$w\\sprite.tga" "$w\\centred.png" "$w\\sprite.tga" "$w\\centred.bmp")
  (cd "dist/win$bits" && ../../scripts/wine.sh --bits "$bits" compose spicompose.exe --at 50,-6 \
     "$w\\scene.bmp" "$w\\sprite.tga" "$w\\edge.png")
  echo "composites of the $bits-bit spicompose:"
  # Centred: (480 - 96) / 2 = 192, (320 - 64) / 2 = 128.
  for case in centred.png,192,128 centred.bmp,192,128 edge.png,50,-6; do
    pictures check "$work" "${case%%,*}" scene sprite "${case#*,}" || failed=1
  done
done
exit $failed
