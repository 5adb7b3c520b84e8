#!/usr/bin/env bash
# The viewer's windows in one process under Wine, 64-bit and then 32-bit,
# each on a virtual display of its own with the Japanese code page, the
# plug-in and image writer of its width and the stand-in plug-ins.
# Wine waits up to two seconds for a window manager each time a managed
# window goes away; the virtual display has none, so the prefix is told to
# leave the windows unmanaged.
#
# The 32-bit pass leaves out the tests that work a common dialog, the
# suites named *WithDialogs: under the i386 emulator Wine's 32-bit open
# and save dialogs, opened in this test program, mostly stay hidden and
# never return. The 32-bit viewer's dialogs are worked from end to end by
# test-viewer.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
for bits in ${BITS:-64 32}; do
  filter=()
  [ "$bits" = 32 ] && filter=("--gtest_filter=-*WithDialogs.*")
  scripts/wine.sh --bits "$bits" gui reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  # A printer for the print command, of Wine's PostScript driver; its jobs
  # go nowhere.
  scripts/wine.sh --bits "$bits" gui "build/win$bits/tests/gui_e2e/trellin_driver.exe" add-printer \
    "Trellin test printer" "$(windows_path tests/gui_e2e/file-printer.ppd)" "|cat >/dev/null"
  TRELLIN_FAKES=$(windows_path "build/win$bits/tests/engine_windows/fakes") TRELLIN_DIST=$(windows_path "dist/win$bits") \
    scripts/on-display.sh scripts/wine.sh --bits "$bits" gui \
    "build/win$bits/tests/gui_inprocess/trellin_gui_tests.exe" --gtest_brief=1 "${filter[@]}" "$@"
done
