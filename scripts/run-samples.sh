#!/usr/bin/env bash
# The main job: write our sample pictures in every format, then convert each
# to BMP with the 64-bit plug-in under Wine, one line per file.
set -euo pipefail
rm -rf samples out
mkdir -p samples out
build/release/mksamples samples
winpath() { echo "Z:${1//\//\\}"; }
files=()
for f in "$PWD"/samples/*; do files+=("$(winpath "$f")"); done
scripts/wine.sh run dist/win64/spiconv.exe "$(winpath "$PWD/dist/win64/Mornel.sph")" "$(winpath "$PWD/out")" "${files[@]}"
echo "bitmaps written to out/"
