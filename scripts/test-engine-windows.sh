#!/usr/bin/env bash
# The engine's Windows tests under Wine, 64-bit and then 32-bit, each with
# the stand-in plug-ins and the real plug-in and image writer of its width.
# The clipboard between processes needs a display: a virtual one of our own.
# The Japanese locale gives the ANSI code page 932, whose two-byte
# characters make ANSI names longer than the plug-ins' buffers.
set -euo pipefail
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
cd "$(dirname "$0")/.."
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
for bits in 64 32; do
  TRELLIN_FAKES=$(windows_path "build/win$bits/tests/engine_windows/fakes") TRELLIN_DIST=$(windows_path "dist/win$bits") \
    scripts/on-display.sh scripts/wine.sh --bits "$bits" engine \
    "build/win$bits/tests/engine_windows/trellin_engine_windows_tests.exe" --gtest_brief=1
done
