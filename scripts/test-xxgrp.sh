#!/usr/bin/env bash
# xxgrp.dll's tests: the Windows test program under Wine against the DLL
# of the same width (64-bit, then 32-bit), then a reader of our own on
# Linux checks the BMP, PNG and JPEG files each writer made.
set -euo pipefail
cd "$(dirname "$0")/.."
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
for bits in 64 32; do
  files=build/xxgrp-files-$bits
  rm -rf "$files"
  mkdir -p "$files"
  # A symbolic link for the writer to save through, which Wine cannot make.
  echo old >"$files/link-target.png"
  ln -s link-target.png "$files/through-link.png"
  XXGRP_DLL=$(windows_path "dist/win$bits/xxgrp.dll") XXGRP_OUTPUT=$(windows_path "$files") \
    scripts/wine.sh --bits "$bits" xxgrp "build/win$bits/tests/xxgrp_windows_tests.exe" --gtest_brief=1
  if [ ! -L "$files/through-link.png" ]; then echo "saving through a symbolic link replaced the link"; exit 1; fi
  rm "$files/through-link.png" "$files/link-target.png"
  # Debian's Python, which has Pillow for the JPEG files.
  echo "files of the $bits-bit writer:"
  /usr/bin/python3 scripts/pictures.py check-writer "$files"
done
