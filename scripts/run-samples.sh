#!/usr/bin/env bash
# The main job: write our sample pictures in every format, then convert each
# to PNG (alpha kept) with the 64-bit plug-in under Wine, one line per file.
set -euo pipefail
rm -rf samples out
mkdir -p samples out
build/release/mksamples samples
winpath() { echo "Z:${1//\//\\}"; }
scripts/wine.sh run dist/win64/spiconv.exe "$(winpath "$PWD/dist/win64/Mornel.sph")" "$(winpath "$PWD/out")" \
  "$(winpath "$PWD/samples")"
echo "PNG files written to out/"
# The viewer's engine from end to end: a sample sprite over a sample
# background, through the same plug-ins (found in the current folder, as
# the viewer finds them), written by xxgrp.dll.
samples=$(winpath "$PWD/samples") out=$(winpath "$PWD/out")
(cd dist/win64 && ../../scripts/wine.sh run spicompose.exe "$samples\\gradient.cz1" \
   "$samples\\sprite.cz2" "$out\\spicompose.png" "$samples\\sprite.cz2" "$out\\spicompose.jpg" \
   "$samples\\sprite.cz2" "$out\\spicompose.bmp")
echo "composites written to out/spicompose.png, .jpg and .bmp"
# The viewer itself, working the samples through its own commands.
scripts/run-viewer.sh
