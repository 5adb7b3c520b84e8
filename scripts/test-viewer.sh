#!/usr/bin/env bash
# The viewer from end to end: the real Trellin.exe runs as its own process
# under Wine on a virtual display of its own and is worked as a user works
# it, with keys, menus (Alt and mnemonics), toolbar clicks and mouse drags;
# what it writes (files, clipboard, wallpaper, settings, a printed page) is
# read back and compared with what it must be.
#
#   scripts/test-viewer.sh [--only SCENARIO[,SCENARIO...]] [PASS...]
#
# A pass sets up a prefix, the pictures and an application folder; its
# scenarios (tests/gui_e2e/scenarios) then each start the viewer afresh
# (no settings file), work it and close it, so that each can run alone.
# The checks and actions they share are in scripts/viewer-checks.sh.
#
# 64: the 64-bit viewer through every command; unicode: pictures in a
# folder of any script, with the Japanese locale; english: the English
# texts and such a folder under the English locale; english-ja: the
# Japanese texts there, chosen in the settings file; dpi: the composite on
# a 144-dpi display; 32 and english32: one pass of the 32-bit viewer under
# each locale (open from such a folder, save a PNG there through the 32-bit
# xxgrp.dll, exit); speed: the drag steps a second of a large sprite at
# 100 %, 200 % and fitted to the window, reported side by side, not judged. Without passes: 64 and 32, or with --only every
# pass, each running only the scenarios named. Screenshots go to
# build/viewer-e2e/shots.
set -uo pipefail
cd "$(dirname "$0")/.."
if [ -z "${VIEWER_ON_DISPLAY:-}" ]; then
  VIEWER_ON_DISPLAY=1 exec scripts/on-display.sh "$0" "$@"
fi
source scripts/wine.sh
source scripts/viewer-session.sh
source scripts/viewer-checks.sh
source tests/gui_e2e/scenarios/commands.sh
source tests/gui_e2e/scenarios/browse.sh
source tests/gui_e2e/scenarios/any_system.sh
source tests/gui_e2e/scenarios/zoom.sh

work=$PWD/build/viewer-e2e
shots=$work/shots
mkdir -p "$shots"

# ---------------------------------------------------------------- 64-bit

# Each pass sets its prefix up (captions, fonts) before the driver starts:
# a Wine process takes the fonts and their links as they are when it
# starts, and the driver's reference menu must be drawn as the viewer's.

pass_64() {
  wants_any "${SCENARIOS_64[@]}" || return 0
  pass_setup 64 64
  mkdir -p "$work/64/print"
  cp "$PICS/sprite.tga" "$PICS/表示.tga"
  printf 'FAKE6\0\0\0' >"$PICS/unreadable.fk6"
  cp build/win64/tests/engine_windows/fakes/fake6.sph "$APP/"
  wine_session_begin 64 viewer
  viewer_own_captions yes
  viewer_session_begin 64
  driver add-printer "Trellin test printer" "$(winpath tests/gui_e2e/file-printer.ppd)" "|cat >'$work/64/print/job.ps'"
  run_scenarios "${SCENARIOS_64[@]}"
  viewer_session_end
  wine_session_end
}

# ------------------------------------------------- any script, any locale

pass_english() {
  wants_any texts any_script zoom || return 0
  pass_setup english 64
  viewer_locale en_US.UTF-8
  wine_session_begin 64 viewer-english
  viewer_own_captions yes
  viewer_japanese_fonts
  viewer_session_begin 64
  run_scenarios texts any_script zoom
  viewer_session_end
  wine_session_end
  viewer_locale ja_JP.UTF-8
}

# The English locale with Japanese chosen in the settings file.
pass_english_ja() {
  wants_any texts || return 0
  pass_setup english-ja 64
  viewer_locale en_US.UTF-8
  viewer_choose_language ja
  wine_session_begin 64 viewer-english
  viewer_own_captions yes
  viewer_japanese_fonts
  viewer_session_begin 64
  run_scenarios texts
  viewer_session_end
  wine_session_end
  viewer_locale ja_JP.UTF-8
}

pass_unicode() {
  wants_any any_script || return 0
  pass_setup unicode 64
  wine_session_begin 64 viewer
  viewer_own_captions yes
  viewer_session_begin 64
  run_scenarios any_script
  viewer_session_end
  wine_session_end
}

pass_dpi() {
  wants_any dpi || return 0
  pass_setup dpi 64
  wine_session_begin 64 viewer-dpi
  "$(wine_for 64)" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  viewer_own_captions yes
  viewer_session_begin 64
  run_scenarios dpi
  viewer_session_end
  wine_session_end
}

# ---------------------------------------------------------------- 32-bit

# Under the i386 emulator Wine's 32-bit common dialogs now and then never
# show: the window is made but never set up, and the process waits for
# good. The pass makes a fresh prefix; when one of its dialogs does not
# show within a minute, the attempt ends without a verdict and the pass
# starts again, four times at most.
# pass_32 [LOCALE]: the 32-bit pass under the Japanese locale, or LOCALE.
pass_32() {
  wants_any open_and_save_32 || return 0
  local attempt
  viewer_locale "${1:-ja_JP.UTF-8}"
  for attempt in 1 2 3 4; do
    pass_32_once && break
    echo "a 32-bit common dialog did not show (attempt $attempt)"
    [ $attempt = 4 ] && fail "a 32-bit common dialog did not show in four fresh prefixes"
  done
  viewer_locale ja_JP.UTF-8
}

pass_32_once() {
  pass_setup 32 32
  wine_session_begin 32 "viewer-${LANG%%_*}" fresh
  viewer_own_captions yes
  viewer_japanese_fonts
  viewer_session_begin 32
  local status=0
  scenario_open_and_save_32 || status=1
  viewer_session_end
  wine_session_end
  return $status
}

# ---------------------------------------------------------------- speed

pass_speed() {
  wants_any speed || return 0
  pass_setup speed 64
  pictures make-large "$PICS"
  wine_session_begin 64 viewer
  viewer_own_captions yes
  viewer_session_begin 64
  run_scenarios speed
  viewer_session_end
  wine_session_end
}

# ------------------------------------------------------------------ main

if [ "${1:-}" = --only ]; then
  ONLY=$2
  shift 2
fi
passes=("$@")
if [ ${#passes[@]} -eq 0 ]; then
  if [ -n "$ONLY" ]; then passes=(64 unicode english english-ja dpi 32 english32 speed); else passes=(64 32); fi
fi
# A results file per set of passes: two sets may run side by side.
results=$work/results-$(IFS=-; echo "${passes[*]}").txt
: >"$results"
for p in "${passes[@]}"; do
  start=$SECONDS
  case $p in
    64) pass_64 ;;
    unicode) pass_unicode ;;
    english) pass_english ;;
    english-ja) pass_english_ja ;;
    dpi) pass_dpi ;;
    32) pass_32 ;;
    english32) pass_32 en_US.UTF-8 ;;
    speed) pass_speed ;;
    *) echo "unknown pass $p"; exit 2 ;;
  esac
  echo "pass $p: $((SECONDS - start)) s"
done
passed=$(grep -c '^ok' "$results")
failed=$(grep -c '^FAIL' "$results")
echo "viewer end to end: $passed passed, $failed failed"
[ "$failed" -gt 0 ] && exit 1
[ "$passed" -gt 0 ] || { echo "no scenario ran (--only $ONLY)"; exit 1; }
