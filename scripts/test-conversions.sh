#!/usr/bin/env bash
# Converts every sample with the 64-bit and the 32-bit plug-in (spiconv of
# the same width under Wine) and requires byte-identical bitmaps. The
# samples and bitmaps lie in a folder whose name no ANSI code page holds
# whole.
set -euo pipefail
rm -rf build/conversions
work="build/conversions/한글 ☃ テスト"
mkdir -p "$work/samples"
build/release/mksamples "$work/samples"
winpath() { echo "Z:${1//\//\\}"; }
files=()
for f in "$PWD/$work"/samples/*; do files+=("$(winpath "$f")"); done
for bits in 64 32; do
  plugin=$([ "$bits" = 64 ] && echo Mornel.sph || echo Mornel.spi)
  scripts/wine.sh --bits "$bits" conversions "dist/win$bits/spiconv.exe" --format bmp \
    "$(winpath "$PWD/dist/win$bits/$plugin")" "$(winpath "$PWD/$work/out$bits")" "${files[@]}" >"$work/log$bits"
done
if ! diff "$work/log64" "$work/log32" >/dev/null; then
  echo "conversions: the two builds report differently"; diff "$work/log64" "$work/log32"; exit 1
fi
count=$(ls "$work/out64" | wc -l)
[ "$count" -eq "$(ls "$work/samples" | wc -l)" ] || { echo "conversions: only $count bitmaps written"; exit 1; }
diff -r "$work/out64" "$work/out32" >/dev/null || { echo "conversions: the bitmaps differ"; diff -rq "$work/out64" "$work/out32"; exit 1; }
echo "conversions: $count samples, identical bitmaps from the 64-bit and the 32-bit plug-in"
