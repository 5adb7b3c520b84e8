#!/usr/bin/env bash
# spiconv from end to end, 64-bit and 32-bit, under the Japanese locale, on
# a tree of samples in a folder whose name no ANSI code page holds whole:
#  - `spiconv -r` walks the tree into PNG files; every PNG, read back by
#    scripts/pictures.py, must hold the pixels and alpha of the plug-in's
#    bitmap (the 64-bit run's BMP files: both widths' plug-ins give the
#    same, which test-conversions checks), at the same place in the same
#    folder structure. A file the plug-in does not read is skipped, not
#    failed. The 32-bit spiconv, slow under the i386 emulator, converts
#    every fourth sample;
#  - in memory the plug-in gives the same bitmaps as by name; a missing
#    file and a file larger than any picture fail on their own lines, the
#    32-bit spiconv has no block for a file of nearly 2 GB, and the run
#    exits with 1;
#  - a stand-in plug-in that ends the process when a name passes
#    char[MAX_PATH] (tests/spiconv/name_probe.cpp) converts pictures whose
#    paths take about 370 and 700 bytes in code page 932, into folders
#    past MAX_PATH characters.
# No progress line reaches a log: standard output is a file there.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine.sh
windows_path() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }
pictures() { /usr/bin/python3 scripts/pictures.py "$@"; }
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
failed=0
fail() { echo "spiconv $bits-bit: $*"; failed=1; }

# Runs spiconv of this width and checks its exit code; the log keeps its
# output with the line ends of the C runtime's text mode made plain.
spiconv() {
  local expected=$1 log=$2
  shift 2
  local status=0
  "$(wine_for "$bits")" "dist/win$bits/spiconv.exe" "$@" >"$log" 2>&1 || status=$?
  if grep -q $'\r.' "$log"; then fail "a progress line went to a file"; fi
  sed -i 's/\r$//' "$log"
  [ "$status" = "$expected" ] || { fail "exit code $status, not $expected:"; cat "$log"; }
}

# 40 kana: 40 UTF-16 units, 80 bytes in code page 932.
kana=$(printf 'カ%.0s' {1..40})
root=build/spiconv
rm -rf "$root"
work="$root/한글 ☃ テスト"
mkdir -p "$work/samples" "$work/known"
build/release/mksamples "$work/samples"
pictures make "$work/known" >/dev/null
# The samples spread over three levels, a picture with alpha whose pixels
# pictures.py knows, and a file no plug-in reads; every fourth for 32 bits.
i=0
for f in "$work"/samples/*; do
  folder=$(case $((i % 3)) in 0) echo . ;; 1) echo 絵 ;; *) echo 絵/深い ;; esac)
  mkdir -p "$work/in64/$folder" "$work/in32/$folder"
  cp "$f" "$work/in64/$folder/"
  if [ $((i++ % 4)) = 0 ]; then cp "$f" "$work/in32/$folder/"; fi
done
for bits in 64 32; do
  cp "$work/known/sprite.tga" "$work/in$bits/絵/"
  echo "not a picture" >"$work/in$bits/読んでね.txt"
done
w=$(windows_path "$work")

for bits in 64 32; do
  plugin=$(windows_path "dist/win$bits/$([ "$bits" = 64 ] && echo Mornel.sph || echo Mornel.spi)")
  wine_session_begin "$bits" spiconv
  if [ "$bits" = 64 ]; then
    spiconv 0 "$work/bmp.log" -r --format bmp "$plugin" "$w\\bmp" "$w\\in64"
  fi
  spiconv 0 "$work/png$bits.log" -r "$plugin" "$w\\png$bits" "$w\\in$bits"
  want="$(($(find "$work/in$bits" -type f | wc -l) - 1)) converted, 0 failed, 1 skipped"
  [ "$(tail -1 "$work/png$bits.log")" = "$want" ] || { fail "not '$want':"; cat "$work/png$bits.log"; }
  grep -q '^読んでね.txt .*not supported, skipped$' "$work/png$bits.log" || fail "the text file is not reported skipped"
  pictures same-pixels "$work/bmp" "$work/png$bits" >"$work/same$bits.log" || { fail "PNG files differ"; cat "$work/same$bits.log"; }
  grep -q '^0 with alpha' "$work/same$bits.log" && fail "no PNG file kept an alpha channel"
  [ "$(tail -1 "$work/same$bits.log")" = "$(($(find "$work/in$bits" -type f | wc -l) - 1)) passed, 0 failed" ] ||
    fail "not every picture has its PNG file: $(tail -1 "$work/same$bits.log")"
  echo "spiconv $bits-bit -r: $(tail -1 "$work/png$bits.log"); PNG files against the bitmaps: $(tail -2 "$work/same$bits.log" | tr '\n' ' ')"

  # In memory, with inputs that fail.
  rm -rf "$work/memory"
  mkdir -p "$work/memory"
  find "$work/in$bits" -maxdepth 1 -type f ! -name '*.txt' -exec cp {} "$work/memory/" \;
  truncate -s 2200000000 "$work/memory/大きすぎる.cz1"
  if [ "$bits" = 32 ]; then truncate -s 2000000000 "$work/memory/巨大.cz1"; fi
  spiconv 1 "$work/memory$bits.log" --memory --format bmp "$plugin" "$w\\memory$bits" "$w\\memory" "$w\\ない.cz1"
  grep -q '^大きすぎる.cz1 .*too large: 2200000000 bytes' "$work/memory$bits.log" || fail "the large file is not refused"
  grep -q '^Z:.*ない.cz1 .*cannot be found$' "$work/memory$bits.log" || fail "the missing file is not reported"
  if [ "$bits" = 32 ]; then
    grep -q '^巨大.cz1 .*not enough memory$' "$work/memory$bits.log" || fail "no 'not enough memory' for a 2 GB file"
  fi
  for f in "$work/memory$bits"/*.bmp; do
    cmp -s "$f" "$work/bmp/$(basename "$f")" || fail "$(basename "$f") in memory differs from by name"
  done
  echo "spiconv $bits-bit --memory: $(tail -1 "$work/memory$bits.log")"
  rm -rf "$work/memory"

  # Names a char[MAX_PATH] cannot hold: pictures four and eight folders of
  # 40 kana deep, whose whole paths code page 932 holds, converted into a
  # folder where their outputs' paths pass MAX_PATH characters. Both ways
  # 64-bit; the 32-bit spiconv as it chooses.
  long="$root/長い"
  deep="$kana/$kana/$kana/$kana"
  mkdir -p "$long/$deep/$deep"
  cp "$work/known/scene.bmp" "$long/$deep/絵.bmp"
  cp "$work/known/scene.bmp" "$long/$deep/$deep/絵.bmp"
  probe=$(windows_path "build/win$bits/tests/spiconv/nameprobe.$([ "$bits" = 64 ] && echo sph || echo spi)")
  for how in "" $([ "$bits" = 64 ] && echo --memory); do
    spiconv 0 "$work/probe.log" $how -r --format bmp "$probe" "$(windows_path "$root/long-out/$kana/$kana")" \
      "$(windows_path "$long")"
    for out in "$deep/絵.bmp.bmp" "$deep/$deep/絵.bmp.bmp"; do
      out="$root/long-out/$kana/$kana/$out"
      [ -f "$out" ] || { fail "no bitmap through the name probe ${how:-by name}"; cat "$work/probe.log"; continue; }
      # biXPelsPerMeter: 1 by name, 2 in memory; biYPelsPerMeter: the length
      # of the name IsSupported got.
      read -r mode length < <(od -An -tu4 -j38 -N8 "$out")
      [ "$length" -lt 260 ] || fail "IsSupported got a name of $length bytes"
      [ -z "$how" ] || [ "$mode" = 2 ] || fail "--memory handed the file over by name"
      cmp -s <(tail -c +55 "$out") <(tail -c +55 "$work/known/scene.bmp") || fail "the probe's picture changed"
    done
    rm -rf "$root/long-out"
  done
  bytes=$(windows_path "$long/$deep/$deep/絵.bmp" | iconv -f UTF-8 -t CP932 | wc -c)
  echo "spiconv $bits-bit: paths of up to $bytes bytes in code page 932, no name of 260 bytes or more reached the plug-in"
  wine_session_end
done
exit $failed
