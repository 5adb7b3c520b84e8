#!/usr/bin/env bash
# spicompose from end to end, 64-bit and 32-bit: a sprite of our own over
# a background of our own, placed (partly off the edge) and centred, in
# one batch, and the written composites compared with the ones the check
# works out itself. The pictures lie in a folder whose name no ANSI code
# page holds whole.
set -euo pipefail
cd "$(dirname "$0")/.."
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
for bits in 64 32; do
  rm -rf "build/spicompose-$bits"
  work="build/spicompose-$bits/한글 ☃ テスト"
  mkdir -p "$work"
  /usr/bin/python3 scripts/check_composite.py make "$work"
  w=$(windows_path "$work")
  # The plug-ins are found in the current folder, as the viewer finds them.
  (cd "dist/win$bits" && ../../scripts/wine.sh --bits "$bits" compose spicompose.exe \
     "$w\\scene.bmp" "$w\\sprite.tga" "$w\\centred.png" "$w\\sprite.tga" "$w\\centred.bmp")
  (cd "dist/win$bits" && ../../scripts/wine.sh --bits "$bits" compose spicompose.exe --at 50,-6 \
     "$w\\scene.bmp" "$w\\sprite.tga" "$w\\edge.png")
  echo "composites of the $bits-bit spicompose:"
  # Centred: |(64 - 23) / 2| = 20, |(40 - 17) / 2| = 11.
  /usr/bin/python3 scripts/check_composite.py check "$work" 20,11=centred.png 20,11=centred.bmp 50,-6=edge.png
done
