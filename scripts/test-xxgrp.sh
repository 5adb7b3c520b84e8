#!/usr/bin/env bash
# xxgrp.dll's tests: the Windows test program under 64-bit Wine against the
# 64-bit DLL, then a reader of our own on Linux checks the BMP, PNG and
# JPEG files its writer made.
set -euo pipefail
cd "$(dirname "$0")/.."
files=build/xxgrp-files
rm -rf "$files"
mkdir -p "$files"
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
XXGRP_DLL=$(windows_path dist/win64/xxgrp.dll) XXGRP_OUTPUT=$(windows_path "$files") \
  scripts/wine.sh xxgrp build/win64/tests/xxgrp_windows_tests.exe --gtest_brief=1
# Debian's Python, which has Pillow for the JPEG files.
/usr/bin/python3 scripts/check_xxgrp_files.py "$files"
