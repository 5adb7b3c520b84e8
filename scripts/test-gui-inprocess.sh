#!/usr/bin/env bash
# The viewer's windows in one process under Wine, 64-bit and then 32-bit,
# each on a virtual display of its own with the Japanese code page, the
# plug-in and image writer of its width and the stand-in plug-ins.
# Wine waits up to two seconds for a window manager each time a managed
# window goes away; the virtual display has none, so the prefix is told to
# leave the windows unmanaged.
#
# The 32-bit pass leaves out the tests that work the open dialog: under the
# i386 emulator Wine's 32-bit open dialog, opened in this test program,
# mostly stays hidden and never returns. The 32-bit viewer's open dialog
# is worked from end to end by test-viewer.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
OPEN_DIALOG_TESTS=*WithDialogs.*:OpenCommands.EachOpens*:OpenCommands.ForceOpen*:OpenCommands.APictureWithAlpha*:OpenCommands.ACancelled*:OpenCommands.AReadError*:SettingsFileTest.TheOrderSurvives*
for bits in ${BITS:-64 32}; do
  filter=()
  [ "$bits" = 32 ] && filter=("--gtest_filter=-$OPEN_DIALOG_TESTS")
  scripts/wine.sh --bits "$bits" gui reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  TRELLIN_FAKES=$(windows_path "build/win$bits/tests/engine_windows/fakes") TRELLIN_DIST=$(windows_path "dist/win$bits") \
    scripts/on-display.sh scripts/wine.sh --bits "$bits" gui \
    "build/win$bits/tests/gui_inprocess/trellin_gui_tests.exe" --gtest_brief=1 "${filter[@]}" "$@"
done
