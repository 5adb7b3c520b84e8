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
# scenarios then each start the viewer afresh (no settings file), work it
# and close it, so that each can run alone.
#
# 64: the 64-bit viewer through every command; unicode: pictures in a
# folder of any script, with the Japanese locale; english: the Japanese
# texts and such a folder under the English locale; dpi: the composite on
# a 144-dpi display; 32 and english32: one pass of the 32-bit viewer under
# each locale (open from such a folder, save a PNG there through the 32-bit
# xxgrp.dll, exit); speed: the time of a drag step of a large sprite,
# reported, not judged. Without passes: 64 and 32, or with --only every
# pass, each running only the scenarios named. Screenshots go to
# build/viewer-e2e/shots.
set -uo pipefail
cd "$(dirname "$0")/.."
if [ -z "${VIEWER_ON_DISPLAY:-}" ]; then
  VIEWER_ON_DISPLAY=1 exec scripts/on-display.sh "$0" "$@"
fi
source scripts/wine.sh
source scripts/viewer-session.sh

work=$PWD/build/viewer-e2e
shots=$work/shots
results=$work/results.txt
mkdir -p "$shots"
: >"$results"

# ---------------------------------------------------------------- verdicts

# Each result with the seconds since the start, which show the slow steps.
pass() { printf 'ok   %4ds %s\n' "$SECONDS" "$*" | tee -a "$results"; }
fail() { printf 'FAIL %4ds %s\n' "$SECONDS" "$*" | tee -a "$results"; }
# check WHAT COMMAND...: the command's success is the check's.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# same WHAT ACTUAL EXPECTED
same() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: \"$2\", expected \"$3\""; fi
}
# A step the rest depends on: when it fails, the scenario ends (with a screenshot).
need() {
  local what=$1
  shift
  if "$@"; then return 0; fi
  fail "$what"
  screenshot "$shots/failed-$VIEWER_BITS.png" 2>/dev/null
  return 1
}

pictures() { /usr/bin/python3 scripts/pictures.py "$@"; }
# composite FILE BACKGROUND FOREGROUND X,Y: the file holds that composite.
composite() {
  local file=$1
  shift
  local line
  line=$(pictures check "$(dirname "$file")" "$(basename "$file")" "$@" 2>&1)
  if [[ $line == ok* ]]; then pass "${line#ok   }"; else fail "${line#FAIL }"; return 1; fi
}

title_is() { check "caption: $1" expect_title "$1"; }

# message CAPTION TEXT-NAME: a message box of that caption shows the
# program's text of that name; Return closes it.
message() {
  local caption=$1 box
  box=$(driver wait-window '#32770' "$caption" "$(timeout_ms)") || { fail "no message box \"$caption\""; return 1; }
  same "message box \"$caption\" ($LANG)" "$(control_text "$box" "$MESSAGE_TEXT")" "$(text "$2")"
  focus_window "$box" && xdotool key Return
  driver wait-gone "$box" "$(timeout_ms)"
}

# wait_status TEXT: until the status bar shows the text (a menu item's
# prompt follows the highlight a moment later).
wait_status() {
  local bar waited=0 shown
  bar=$(driver child "$FRAME" msctls_statusbar32)
  until shown=$(driver status "$bar") && [ "$shown" = "$1" ]; do
    if [ $waited -ge 50 ]; then
      fail "status bar: \"$shown\", expected \"$1\""
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  pass "status bar: $1"
}

# wait_tip COMMAND: the tool-tip of the command's toolbar button shows
# while the mouse rests on it.
wait_tip() {
  local point
  point=$(driver button "$TOOLBAR" "$(resource_id "$1")")
  # shellcheck disable=SC2086
  xdotool mousemove --sync $point mousemove_relative 1 1
  check "tool-tip of $1 ($LANG)" driver wait-window tooltips_class32 "$(tip "$1")" "$(timeout_ms)" >/dev/null
  xdotool mousemove 0 0
}

# visible_is WHAT WINDOW 1|0: the window is shown (1) or hidden (0) once
# the keys before it have reached the program.
visible_is() {
  local waited=0 shown
  until shown=$(driver visible "$2") && [ "$shown" = "$3" ]; do
    [ $waited -ge 50 ] && break
    sleep 0.1
    waited=$((waited + 1))
  done
  same "$1" "$shown" "$3"
}

png_file() { [ "$(head -c 4 "$1" | tail -c 3)" = PNG ]; }
bmp_file() { [ "$(head -c 2 "$1")" = BM ]; }

# settings FILE SECTION: the lines of a section of the settings file,
# "KEY=VALUE", read in the ANSI code page of the locale.
settings() {
  /usr/bin/python3 - "$1" "$2" "$VIEWER_CODEPAGE" <<'EOF'
import sys
section, lines = None, []
for raw in open(sys.argv[1], encoding=sys.argv[3]):
    line = raw.strip()
    if line.startswith("["):
        section = line.strip("[]")
    elif "=" in line and section == sys.argv[2]:
        key, value = line.split("=", 1)
        lines.append(f"{key.strip()}={value.strip()}")
print(" ".join(lines))
EOF
}

# ----------------------------------------------------------------- actions

# An application folder: the package of that width unpacked, as a user
# unpacks it (the viewer, the plug-in and the image writer of its width).
make_app() {
  local bits=$1 folder=$2
  rm -rf "$folder" "$folder.unpacked"
  /usr/bin/python3 -m zipfile -e "dist/Trellin-win$bits.zip" "$folder.unpacked"
  mv "$folder.unpacked/Trellin-win$bits" "$folder"
  rmdir "$folder.unpacked"
}

# open_with KEYS TITLE-NAME FILE: the keys' open dialog opens the file.
open_with() { keys "$1" && choose_file "$(text "$2")" "$3"; }
open_foreground() { open_with ctrl+alt+o IDS_OPEN_FOREGROUND_TITLE "$1"; }
open_background() { open_with ctrl+shift+o IDS_OPEN_BACKGROUND_TITLE "$1"; }
force_foreground() { open_with ctrl+o IDS_OPEN_FOREGROUND_TITLE "$1"; }

# drop FILE...: the files dropped on the view together.
drop() {
  local files=() file
  for file; do files+=("$(winpath "$file")"); done
  driver drop "$VIEW" 20 20 "${files[@]}"
}

# save_as HOW PATH: the save dialog, opened by HOW (keys, "toolbar" or
# "menu"), writes PATH; waits for the file.
save_as() {
  local how=$1 path=$2
  rm -f "$path"
  case $how in
    toolbar) click_toolbar ID_FILE_SAVE_COMPOSITE ;;
    menu) keys alt+f s ;;
    *) keys "$how" ;;
  esac
  choose_file "$(save_title)" "$path" && wait_file "$path" && return
  fail "saving $(basename "$path") by $how"
  screenshot "$shots/failed-save-$(basename "$path").png"
  return 1
}

# choose_any_file TITLE PATH: as choose_file, for a path in any script,
# which the virtual display's keyboard cannot type: the driver fills the
# file name field as a keyboard of that script would, then OK is pressed.
choose_any_file() {
  local title=$1 path dialog
  path=$(winpath "$2")
  dialog=$(driver wait-window '#32770' "$title" "$(timeout_ms)") || return 1
  driver set-text "$dialog" "$FILE_NAME_FIELD" "$path" && wait_field "$dialog" "$path" &&
    driver click "$dialog" "$IDOK" && driver wait-gone "$dialog" "$(timeout_ms)"
}

# copy_check HOW NAME BACKGROUND FOREGROUND X,Y: copies with the keys (or
# the toolbar button, HOW "toolbar") and reads the clipboard from another
# process.
copy_check() {
  local how=$1 name=$2
  shift 2
  driver clipboard-clear
  if [ "$how" = toolbar ]; then click_toolbar ID_EDIT_COPY_COMPOSITE; else keys "$how"; fi
  local file=$OUT/$name
  rm -f "$file"
  if driver wait-clipboard "$(timeout_ms)" && driver clipboard-save "$(winpath "$file")"; then
    composite "$file" "$@"
  else
    fail "nothing on the clipboard after $how"
  fi
}

# drag DX DY FROM-X FROM-Y: the real mouse presses at client point (FROM),
# moves by (DX, DY) in steps and releases.
drag() {
  local dx=$1 dy=$2 client
  client=($(view_client))
  local x=$((client[0] + $3)) y=$((client[1] + $4))
  xdotool mousemove --sync "$x" "$y" mousedown 1
  local step
  for step in 1 2 3 4 5; do
    xdotool mousemove --sync $((x + dx * step / 5)) $((y + dy * step / 5))
  done
  xdotool mouseup 1
}

# --------------------------------------------------------------- scenarios
#
# A pass sets APP (the application folder), PICS (the pictures) and OUT
# (what the viewer writes). A scenario starts the viewer with
# begin_scenario and leaves it closed.

ONLY=
selected() { [ -z "$ONLY" ] || [[ ",$ONLY," == *",$1,"* ]]; }
# run_scenarios NAME...: the scenarios selected, each as scenario_NAME.
run_scenarios() {
  local name
  for name; do
    selected "$name" || continue
    echo "scenario $name"
    "scenario_$name"
  done
}
# wants_any NAME...: whether any of the pass's scenarios is selected.
wants_any() {
  local name
  for name; do selected "$name" && return 0; done
  return 1
}

# begin_scenario NAME: the viewer started afresh, in a 640x480 window (a
# new foreground is centred in it, and so lies on the background).
begin_scenario() {
  rm -f "$APP/Trellin.ini"
  need "the viewer starts ($1, $LANG)" viewer_start "$APP" "$OUT/$1.log" || return 1
  driver place "$FRAME" 0 0 640 480
}
# end_scenario: File, Exit; a viewer that does not end is stopped.
end_scenario() {
  keys alt+f x
  viewer_wait_exit
  [ "$VIEWER_EXIT" = 124 ] && { fail "the viewer did not end"; kill "$VIEWER_PID" 2>/dev/null; }
  return 0
}

SPRITE='sprite.tga (96x64x32 bit)'
SCENE='scene.bmp (480x320x24 bit)'
# The sprite over the scene, both dropped.
sprite_over_scene() {
  drop "$PICS/scene.bmp"
  drop "$PICS/sprite.tga"
  title_is "Trellin - $SPRITE / $SCENE"
}

# ---------------------------------------------------------------- 64-bit

# The viewer without its image writer: a warning, no window, exit code 0.
scenario_missing_writer() {
  local app=$work/64/no-writer
  make_app 64 "$app"
  rm "$app/xxgrp.dll"
  (cd "$app" && exec "$(wine_for 64)" Trellin.exe >"$OUT/no-writer.log" 2>&1) &
  VIEWER_PID=$!
  local box
  box=$(driver wait-window '#32770' "$(text IDS_WARNING_CAPTION)" "$(timeout_ms)") ||
    { fail "no warning without xxgrp.dll"; return; }
  same "warning without xxgrp.dll" "$(control_text "$box" "$MESSAGE_TEXT")" "$(text IDS_WRITER_MISSING)"
  same "no frame window without xxgrp.dll" "$(driver windows TrellinFrame)" ""
  screenshot "$shots/no-writer.png"
  focus_window "$box" && xdotool key Return
  viewer_wait_exit
  same "exit code without xxgrp.dll" "$VIEWER_EXIT" 0
}

# The window at start, the status bar's prompts for highlighted menu items
# ("Ready" again when the menu closes), a tool-tip, the About box, the
# bars' switches, and keys and a button with no command behind them.
scenario_start_and_bars() {
  begin_scenario start_and_bars || return
  title_is "Trellin"
  wait_status "$(text IDS_READY)"
  screenshot "$shots/start.png"
  keys alt+f
  wait_status "$(prompt ID_FILE_NEW)"
  xdotool key Down
  wait_status "$(prompt ID_FILE_OPEN_FOREGROUND)"
  xdotool key Down Down Down Down Down
  wait_status "$(prompt ID_FILE_PRINT)"
  xdotool key Escape Escape
  wait_status "$(text IDS_READY)"
  wait_tip ID_FILE_SAVE_COMPOSITE

  click_toolbar ID_APP_ABOUT
  local box
  # The dialog's caption and its line as the version block fills it in.
  if box=$(driver wait-window '#32770' About "$(timeout_ms)"); then
    same "About text" "$(control_text "$box" "$(resource_id IDC_ABOUT_TEXT)")" \
      'Trellin  ver. 1, 0, 2, 1\n\nCopyright (C) 2026 the Trellin developers'
    screenshot "$shots/about.png"
    focus_window "$box" && xdotool key Escape
    check "About closes with Esc" driver wait-gone "$box" "$(timeout_ms)"
  else
    fail "no About box from its toolbar button"
  fi

  local status
  status=$(driver child "$FRAME" msctls_statusbar32)
  keys alt+v t
  visible_is "toolbar hidden by View, Toolbar" "$TOOLBAR" 0
  keys alt+v t
  visible_is "toolbar shown again" "$TOOLBAR" 1
  keys alt+v s
  visible_is "status bar hidden by View, Status bar" "$status" 0
  keys alt+v s
  visible_is "status bar shown again" "$status" 1

  sprite_over_scene
  driver clipboard-clear
  keys ctrl+x shift+Delete ctrl+z alt+BackSpace F6 shift+F6
  click_toolbar ID_EDIT_CUT
  sleep 0.5
  same "Cut, Undo and the pane keys do nothing" \
    "$(driver text "$FRAME") $(driver clipboard-owner | cut -f3) $(driver windows '#32770' | grep -c $'\t1\t')" \
    "Trellin - $SPRITE / $SCENE no-dib 0"
  end_scenario
}

# Pictures that cannot be the picture asked for, a broken one and one a
# plug-in reports a read error for (result 6: the stand-in answers so).
scenario_failing_opens() {
  begin_scenario failing_opens || return
  open_foreground "$PICS/keyed24.tga"
  message keyed24.tga IDS_BROKEN_OR_NO_ALPHA
  open_foreground "$PICS/broken.tga"
  message broken.tga IDS_BROKEN_OR_NO_ALPHA
  open_background "$PICS/sprite.tga"
  message sprite.tga IDS_BROKEN_OR_ALPHA_BACKGROUND
  open_foreground "$PICS/unreadable.fk6"
  message unreadable.fk6 IDS_IMAGE_UNREADABLE
  title_is "Trellin"
  end_scenario
}

# Opened through the dialogs, the composite saved by the keys, the toolbar
# and the menu. The format goes by the extension, in any letter case;
# ".jpeg" is not one of the three and gets a bitmap, and a name without
# one gets ".bmp".
scenario_save_formats() {
  begin_scenario save_formats || return
  open_foreground "$PICS/sprite.tga"
  title_is "Trellin - $SPRITE"
  open_background "$PICS/scene.bmp"
  title_is "Trellin - $SPRITE / $SCENE"
  local at
  at=$(centred 96 64)
  screenshot "$shots/composite.png"
  save_as ctrl+s "$OUT/composite.png" && composite "$OUT/composite.png" scene sprite "$at"
  save_as toolbar "$OUT/composite.jpg" && composite "$OUT/composite.jpg" scene sprite "$at"
  save_as menu "$OUT/composite.bmp" && composite "$OUT/composite.bmp" scene sprite "$at"
  save_as ctrl+s "$OUT/Upper.PNG" && check "a .PNG name gets a PNG file" png_file "$OUT/Upper.PNG"
  save_as ctrl+s "$OUT/composite.jpeg" && composite "$OUT/composite.jpeg" scene sprite "$at" &&
    check "a .jpeg name gets a bitmap" bmp_file "$OUT/composite.jpeg"
  rm -f "$OUT/plain.bmp"
  keys ctrl+s && choose_file "$(save_title)" "$OUT/plain" && wait_file "$OUT/plain.bmp" &&
    composite "$OUT/plain.bmp" scene sprite "$at" || fail "a name without extension gets no .bmp file"
  end_scenario
}

# Dragging with the real mouse: by an opaque pixel the sprite moves; by a
# clear one (its corner) it stays. View, Centre brings it back. Over a
# background larger than the window, scrolled down by the mouse wheel, the
# sprite is grabbed where it shows.
scenario_drag_and_scroll() {
  begin_scenario drag_and_scroll || return
  sprite_over_scene
  local at
  at=$(centred 96 64)
  local x=${at%,*} y=${at#*,}
  drag 40 -24 $((x + 48)) $((y + 32))
  save_as ctrl+s "$OUT/dragged.png" && composite "$OUT/dragged.png" scene sprite "$((x + 40)),$((y - 24))"
  drag 30 30 $((x + 40 + 1)) $((y - 24 + 1))
  copy_check ctrl+c dragged-clear.bmp scene sprite "$((x + 40)),$((y - 24))"
  keys alt+v c
  copy_check ctrl+Insert centred.bmp scene sprite "$at"

  drop "$PICS/wide.bmp"
  title_is "Trellin - $SPRITE / wide.bmp (960x640x24 bit)"
  local client
  client=($(view_client))
  xdotool mousemove --sync $((client[0] + 10)) $((client[1] + 10)) click 5
  # One notch: three lines of 10 pixels. The press lies above where the
  # sprite would show unscrolled, so it grabs only when the view scrolled.
  local scrolled=30
  drag 20 10 $((x + 48)) $((y + 20 - scrolled))
  save_as ctrl+s "$OUT/scrolled.png" && composite "$OUT/scrolled.png" wide sprite "$((x + 20)),$((y + 10))"
  end_scenario
}

# Paste from another process: a 24-bit bitmap becomes the background, a
# 32-bit one the foreground; an 8-bit bitmap, its rows after a colour
# table, by the toolbar button.
scenario_paste() {
  begin_scenario paste || return
  drop "$PICS/sprite.tga"
  title_is "Trellin - $SPRITE"
  driver clipboard-put "$(winpath "$PICS/scene2.bmp")"
  keys ctrl+v
  title_is "Trellin - $SPRITE / [None title] (400x300x24 bit)"
  driver clipboard-put "$(winpath "$PICS/sprite32.bmp")"
  keys shift+Insert
  title_is "Trellin - [None title] (96x64x32 bit) / [None title] (400x300x24 bit)"
  local at
  at=$(centred 96 64)
  copy_check ctrl+c pasted.bmp scene2 sprite "$at"
  driver clipboard-put "$(winpath "$PICS/keyed8.bmp")"
  click_toolbar ID_EDIT_PASTE
  title_is "Trellin - [None title] (96x64x32 bit) / [None title] (80x60x24 bit)"
  copy_check toolbar pasted8.bmp keyed8 sprite "$at"
  end_scenario
}

# Dropped files: only the first of several counts; one without alpha
# becomes the background, one with alpha the foreground. A name whose
# double-byte character ends in the byte of a backslash stays whole.
scenario_drop() {
  begin_scenario drop || return
  drop "$PICS/scene.bmp" "$PICS/scene2.bmp" "$PICS/keyed8.tga"
  title_is "Trellin / $SCENE"
  drop "$PICS/表示.tga"
  title_is "Trellin - 表示.tga (96x64x32 bit) / $SCENE"
  end_scenario
}

# Forced foregrounds: a 24-bit picture keyed by its bottom-left colour, an
# 8-bit one by index 0 (through the toolbar button).
scenario_forced_foregrounds() {
  begin_scenario forced_foregrounds || return
  drop "$PICS/scene.bmp"
  force_foreground "$PICS/keyed24.tga"
  title_is "Trellin - keyed24.tga (80x60x32 bit) / $SCENE"
  local at
  at=$(centred 80 60)
  save_as ctrl+s "$OUT/keyed24.bmp" && composite "$OUT/keyed24.bmp" scene keyed24 "$at"
  click_toolbar ID_FILE_FORCE_FOREGROUND && choose_file "$(text IDS_OPEN_FOREGROUND_TITLE)" "$PICS/keyed8.tga"
  title_is "Trellin - keyed8.tga (80x60x32 bit) / $SCENE"
  save_as ctrl+s "$OUT/keyed8.png" && composite "$OUT/keyed8.png" scene keyed8 "$at"
  end_scenario
}

wallpaper_value() { driver wallpaper | sed -n "s/^$1=//p" | tr -d '\r'; }

# wallpaper KEY STYLE-BEFORE TILE STYLE-AFTER: File, Wallpaper, KEY writes
# the file and the desktop's values.
wallpaper() {
  local key=$1 before=$2 tile=$3 after=$4
  driver wallpaper-style "$before"
  local file
  file=$(wallpaper_value file)
  file=$WINEPREFIX/drive_c/$(echo "${file#C:\\}" | tr '\\' /)
  rm -f "$file"
  keys alt+f w "$key"
  if ! wait_file "$file"; then
    fail "no wallpaper file after File, Wallpaper, $key"
    return
  fi
  # The settings are written after the file, by the same command.
  driver sync "$FRAME" "$(timeout_ms)"
  same "wallpaper $key: origin" "$(wallpaper_value WallpaperOriginX),$(wallpaper_value WallpaperOriginY)" "0,0"
  same "wallpaper $key: TileWallpaper" "$(wallpaper_value TileWallpaper)" "$tile"
  same "wallpaper $key: WallpaperStyle after \"$before\"" "$(wallpaper_value WallpaperStyle)" "$after"
  WALLPAPER_FILE=$file
}

# The wallpaper commands through the menu.
scenario_wallpaper() {
  begin_scenario wallpaper || return
  sprite_over_scene
  local at
  at=$(centred 96 64)
  WALLPAPER_FILE=
  wallpaper c 5 0 5
  [ -n "$WALLPAPER_FILE" ] && composite "$WALLPAPER_FILE" scene sprite "$at"
  wallpaper c - 0 0
  wallpaper t 1 1 3
  wallpaper t - 1 2
  wallpaper s 4 0 6
  wallpaper s - 0 2
  end_scenario
}

# Ctrl+P and the print dialog's OK print one page on the test printer.
scenario_print() {
  begin_scenario print || return
  sprite_over_scene
  local job=$work/64/print/job.ps
  rm -f "$job"
  keys ctrl+p
  local dialog
  # The print dialog is the system's own, titled in the system's language.
  if dialog=$(driver wait-window '#32770' '印刷' "$(timeout_ms)"); then
    driver click "$dialog" "$IDOK"
    if wait_file "$job" '%%EOF'; then
      same "printed pages (%%Page lines)" "$(grep -ac '^%%Page:' "$job")" 1
      same "printed pages (trailer)" "$(grep -a '^%%Pages: [0-9]' "$job" | tr -d '\r')" "%%Pages: 1"
    else
      fail "nothing printed"
    fi
  else
    fail "no print dialog after Ctrl+P"
  fi
  end_scenario
}

# New, with a copy still to be rendered: the clipboard keeps the composite.
scenario_new_keeps_copy() {
  begin_scenario new_keeps_copy || return
  sprite_over_scene
  local at
  at=$(centred 96 64)
  driver clipboard-clear
  keys ctrl+c
  keys ctrl+n
  title_is "Trellin"
  if driver clipboard-save "$(winpath "$OUT/after-new.bmp")"; then
    composite "$OUT/after-new.bmp" scene sprite "$at"
  else
    fail "the copy was lost by New"
  fi
  screenshot "$shots/new.png"
  end_scenario
}

# The recent lists: written beside the program at exit, newest first. At
# the next start an entry whose file has gone is reported and removed, the
# others keep their order and reopen. A copy still to be rendered when the
# window closes is rendered then: the clipboard keeps the composite after
# the program has gone.
scenario_recent_lists() {
  local ini=$APP/Trellin.ini
  cp "$PICS/keyed24.tga" "$PICS/gone.tga"
  begin_scenario recent_lists || return
  open_foreground "$PICS/sprite.tga"
  force_foreground "$PICS/gone.tga"
  title_is "Trellin - gone.tga (80x60x32 bit)"
  force_foreground "$PICS/keyed24.tga"
  click_toolbar ID_FILE_FORCE_FOREGROUND && choose_file "$(text IDS_OPEN_FOREGROUND_TITLE)" "$PICS/keyed8.tga"
  open_background "$PICS/scene.bmp"
  title_is "Trellin - keyed8.tga (80x60x32 bit) / $SCENE"
  keys alt+f x
  viewer_wait_exit
  same "exit code of File, Exit" "$VIEWER_EXIT" 1
  check "settings file written beside the program" test -f "$ini"
  same "recent foregrounds saved" "$(settings "$ini" RecentFgImage)" \
    "DocumentCount=8 Document4=$(winpath "$PICS/sprite.tga") Document3=$(winpath "$PICS/gone.tga") Document2=$(winpath "$PICS/keyed24.tga") Document1=$(winpath "$PICS/keyed8.tga")"
  same "recent backgrounds saved" "$(settings "$ini" RecentBgImage)" "DocumentCount=8 Document1=$(winpath "$PICS/scene.bmp")"

  rm "$PICS/gone.tga"
  need "the viewer starts again" viewer_start "$APP" "$OUT/recent_lists-2.log" || return
  driver place "$FRAME" 0 0 640 480
  keys alt+f f
  sleep 0.5
  screenshot "$shots/recent-foregrounds.png"
  xdotool key 3
  message gone.tga IDS_BROKEN_OR_NO_ALPHA
  title_is "Trellin"
  keys alt+f f
  xdotool key 3
  title_is "Trellin - $SPRITE"
  keys alt+f g
  xdotool key 1
  title_is "Trellin - $SPRITE / $SCENE"
  local at
  at=$(centred 96 64)
  driver clipboard-clear
  keys ctrl+c
  keys alt+F4
  viewer_wait_exit
  same "exit code after Alt+F4" "$VIEWER_EXIT" 1
  if driver clipboard-save "$(winpath "$OUT/after-exit.bmp")"; then
    composite "$OUT/after-exit.bmp" scene sprite "$at"
  else
    fail "the copy was lost when the viewer closed"
  fi
  same "recent foregrounds after the second start" "$(settings "$ini" RecentFgImage)" \
    "DocumentCount=8 Document3=$(winpath "$PICS/keyed24.tga") Document2=$(winpath "$PICS/keyed8.tga") Document1=$(winpath "$PICS/sprite.tga")"
}

SCENARIOS_64=(missing_writer start_and_bars failing_opens save_formats drag_and_scroll paste drop
  forced_foregrounds wallpaper print new_keeps_copy recent_lists)

# pass_setup NAME BITS: a fresh folder for the pass, with the tests'
# pictures and an application folder of that width.
pass_setup() {
  APP=$work/$1/app PICS=$work/$1/pics OUT=$work/$1/out
  rm -rf "${work:?}/$1"
  mkdir -p "$OUT"
  pictures make "$PICS"
  make_app "$2" "$APP"
}

pass_64() {
  wants_any "${SCENARIOS_64[@]}" || return 0
  pass_setup 64 64
  mkdir -p "$work/64/print"
  cp "$PICS/sprite.tga" "$PICS/表示.tga"
  printf 'FAKE6\0\0\0' >"$PICS/unreadable.fk6"
  cp build/win64/tests/engine_windows/fakes/fake6.sph "$APP/"
  wine_session_begin 64 viewer
  viewer_session_begin 64
  viewer_own_captions yes
  driver add-printer "Trellin test printer" "$(winpath tests/gui_e2e/file-printer.ppd)" "|cat >'$work/64/print/job.ps'"
  run_scenarios "${SCENARIOS_64[@]}"
  viewer_session_end
  wine_session_end
}

# ------------------------------------------------- any script, any locale

# A folder whose name no ANSI code page holds whole.
EVERY_SCRIPT='한글 ☃ テスト'

# Pictures in such a folder open as foreground and background through the
# dialogs and by drop and name themselves in the caption; the composite is
# saved there in the three formats; the recent lists keep them across a
# restart by their short names, which name the same files in the ANSI code
# page, and they reopen from there.
scenario_any_script() {
  local folder="$PICS/$EVERY_SCRIPT"
  mkdir -p "$folder"
  cp "$PICS/sprite.tga" "$PICS/scene.bmp" "$PICS/scene2.bmp" "$folder/"
  begin_scenario any_script || return
  keys ctrl+alt+o && choose_any_file "$(text IDS_OPEN_FOREGROUND_TITLE)" "$folder/sprite.tga"
  title_is "Trellin - $SPRITE"
  keys ctrl+shift+o && choose_any_file "$(text IDS_OPEN_BACKGROUND_TITLE)" "$folder/scene.bmp"
  title_is "Trellin - $SPRITE / $SCENE"
  local at format
  at=$(centred 96 64)
  for format in png jpg bmp; do
    keys ctrl+s && choose_any_file "$(save_title)" "$folder/composite.$format" && wait_file "$folder/composite.$format" &&
      composite "$folder/composite.$format" scene sprite "$at" || fail "saving composite.$format into $EVERY_SCRIPT"
  done
  drop "$folder/scene2.bmp"
  title_is "Trellin - $SPRITE / scene2.bmp (400x300x24 bit)"
  screenshot "$shots/unicode-$VIEWER_BITS-${LANG%%.*}.png"
  keys alt+f x
  viewer_wait_exit
  local sprite scene
  sprite=$(driver short-path "$(winpath "$folder/sprite.tga")")
  scene=$(driver short-path "$(winpath "$folder/scene.bmp")")
  same "recent lists keep the short names ($LANG)" \
    "$(settings "$APP/Trellin.ini" RecentFgImage) / $(settings "$APP/Trellin.ini" RecentBgImage)" \
    "DocumentCount=8 Document1=$sprite / DocumentCount=8 Document1=$scene"
  need "the viewer starts again ($LANG)" viewer_start "$APP" "$OUT/any_script-2.log" || return
  keys alt+f f && xdotool key 1
  title_is "Trellin - ${sprite##*\\} (96x64x32 bit)"
  keys alt+f g && xdotool key 1
  title_is "Trellin - ${sprite##*\\} (96x64x32 bit) / ${scene##*\\} (480x320x24 bit)"
  end_scenario
}

# Japanese texts under the English locale: every text the viewer shows
# comes as UTF-16 from its resources, so the menus, prompts, tool-tips,
# dialog titles and messages read as on a Japanese system; a screenshot
# shows them.
scenario_english_texts() {
  begin_scenario english_texts || return
  # Under the message box, which shows in the middle of the screen.
  driver place "$FRAME" 420 340 760 520
  keys alt+f && xdotool key Down
  wait_status "$(prompt ID_FILE_OPEN_FOREGROUND)"
  screenshot "$shots/english-menu.png"
  xdotool key Escape Escape
  wait_tip ID_FILE_FORCE_FOREGROUND
  open_foreground "$PICS/keyed24.tga"
  local box
  if box=$(driver wait-window '#32770' keyed24.tga "$(timeout_ms)"); then
    same "message text ($LANG)" "$(control_text "$box" "$MESSAGE_TEXT")" "$(text IDS_BROKEN_OR_NO_ALPHA)"
    screenshot "$shots/english-message.png"
    screenshot_window "$OUT/english.png"
    focus_window "$box" && xdotool key Return
    driver wait-gone "$box" "$(timeout_ms)"
  else
    fail "no message box for keyed24.tga ($LANG)"
  fi
  end_scenario
}

pass_english() {
  wants_any english_texts any_script || return 0
  pass_setup english 64
  viewer_locale en_US.UTF-8
  wine_session_begin 64 viewer-english
  viewer_session_begin 64
  viewer_own_captions yes
  viewer_japanese_fonts
  run_scenarios english_texts any_script
  viewer_session_end
  wine_session_end
  viewer_locale ja_JP.UTF-8
}

pass_unicode() {
  wants_any any_script || return 0
  pass_setup unicode 64
  wine_session_begin 64 viewer
  viewer_session_begin 64
  viewer_own_captions yes
  run_scenarios any_script
  viewer_session_end
  wine_session_end
}

# At 144 dpi (150 %) the composite on the screen is the composite's own
# pixels, one to one, and the toolbar shows its larger pictures.
scenario_dpi() {
  begin_scenario dpi || return
  driver place "$FRAME" 0 0 900 700
  sprite_over_scene
  local at client
  at=$(centred 96 64)
  client=($(view_client))
  driver sync "$FRAME" "$(timeout_ms)"
  sleep 0.5
  /usr/bin/python3 -c "
import sys
from PIL import ImageGrab
x, y = int(sys.argv[3]), int(sys.argv[4])
ImageGrab.grab(xdisplay=sys.argv[1]).crop((x, y, x + 480, y + 320)).save(sys.argv[2])" \
    "$DISPLAY" "$OUT/on-screen.png" "${client[0]}" "${client[1]}"
  composite "$OUT/on-screen.png" scene sprite "$at"
  screenshot_window "$shots/dpi-144.png"
  local toolbar
  toolbar=($(driver rect "$TOOLBAR"))
  [ "${toolbar[3]}" -ge 30 ] && pass "toolbar of 200 % pictures at 144 dpi" ||
    fail "toolbar ${toolbar[3]} pixels high at 144 dpi"
  end_scenario
}

pass_dpi() {
  wants_any dpi || return 0
  pass_setup dpi 64
  wine_session_begin 64 viewer-dpi
  "$(wine_for 64)" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  viewer_session_begin 64
  viewer_own_captions yes
  run_scenarios dpi
  viewer_session_end
  wine_session_end
}

# ---------------------------------------------------------------- 32-bit

# Under the i386 emulator Wine's 32-bit common dialogs now and then never
# show: the window is made but stays unmapped, and the process waits for
# good. The pass makes a fresh prefix; when one of its dialogs does not
# show within two minutes, the attempt ends without a verdict and the pass
# starts again, three times at most.
# pass_32 [LOCALE]: the 32-bit pass under the Japanese locale, or LOCALE.
pass_32() {
  wants_any open_and_save_32 || return 0
  local attempt
  viewer_locale "${1:-ja_JP.UTF-8}"
  for attempt in 1 2 3; do
    pass_32_once && break
    echo "a 32-bit common dialog did not show (attempt $attempt)"
    [ $attempt = 3 ] && fail "a 32-bit common dialog did not show in three fresh prefixes"
  done
  viewer_locale ja_JP.UTF-8
}

# dialog_32 KEYS TITLE: the keys open the dialog; false when it never shows,
# after the stalled viewer has been stopped.
dialog_32() {
  keys "$1"
  driver wait-window '#32770' "$2" 120000 >/dev/null && return 0
  screenshot "$shots/stalled-32.png" 2>/dev/null
  kill "$VIEWER_PID" 2>/dev/null
  return 1
}

# A sprite from a folder whose name no ANSI code page holds whole, over a
# background, saved there as PNG; the recent list keeps its short name.
# False when a dialog did not show.
scenario_open_and_save_32() {
  local folder="$PICS/$EVERY_SCRIPT"
  mkdir -p "$folder"
  cp "$PICS/sprite.tga" "$folder/"
  begin_scenario open_and_save_32 || return 0
  dialog_32 ctrl+alt+o "$(text IDS_OPEN_FOREGROUND_TITLE)" || return 1
  choose_any_file "$(text IDS_OPEN_FOREGROUND_TITLE)" "$folder/sprite.tga"
  title_is "Trellin - $SPRITE"
  dialog_32 ctrl+shift+o "$(text IDS_OPEN_BACKGROUND_TITLE)" || return 1
  choose_file "$(text IDS_OPEN_BACKGROUND_TITLE)" "$PICS/scene.bmp"
  title_is "Trellin - $SPRITE / $SCENE"
  local at
  at=$(centred 96 64)
  screenshot "$shots/composite-32-${LANG%%.*}.png"
  dialog_32 ctrl+s "$(save_title)" || return 1
  if choose_any_file "$(save_title)" "$folder/composite.png" && wait_file "$folder/composite.png"; then
    composite "$folder/composite.png" scene sprite "$at"
  else
    fail "the 32-bit viewer saved nothing ($LANG)"
  fi
  keys alt+f x
  viewer_wait_exit
  same "exit code of the 32-bit viewer ($LANG)" "$VIEWER_EXIT" 1
  same "recent foregrounds of the 32-bit viewer ($LANG)" "$(settings "$APP/Trellin.ini" RecentFgImage)" \
    "DocumentCount=8 Document1=$(driver short-path "$(winpath "$folder/sprite.tga")")"
}

pass_32_once() {
  pass_setup 32 32
  wine_session_begin 32 "viewer-${LANG%%_*}" fresh
  viewer_session_begin 32
  viewer_own_captions yes
  viewer_japanese_fonts
  local status=0
  scenario_open_and_save_32 || status=1
  viewer_session_end
  wine_session_end
  return $status
}

# ---------------------------------------------------------------- speed

# A drag step of an 800x600 sprite over a 1920x1080 background: the mouse
# message and the repaint it causes, timed by the driver.
scenario_speed() {
  begin_scenario speed || return
  driver place "$FRAME" 0 0 1600 1200
  drop "$PICS/large-scene.bmp"
  drop "$PICS/large-sprite.tga"
  expect_title "Trellin - large-sprite.tga (800x600x32 bit) / large-scene.bmp (1920x1080x24 bit)"
  local at
  at=$(centred 800 600)
  local x=$((${at%,*} + 400)) y=$((${at#*,} + 300))
  driver drag-speed "$VIEW" "$x" "$y" 0 0 20 >/dev/null
  local timed
  timed=$(driver drag-speed "$VIEW" "$x" "$y" 2 1 300) && pass "drag steps timed" || fail "drag steps not timed"
  echo "drag steps, view $(view_client | cut -d' ' -f3,4): $timed"
  screenshot "$shots/speed.png"
  end_scenario
}

pass_speed() {
  wants_any speed || return 0
  pass_setup speed 64
  pictures make-large "$PICS"
  wine_session_begin 64 viewer
  viewer_session_begin 64
  viewer_own_captions yes
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
  if [ -n "$ONLY" ]; then passes=(64 unicode english dpi 32 english32 speed); else passes=(64 32); fi
fi
for p in "${passes[@]}"; do
  start=$SECONDS
  case $p in
    64) pass_64 ;;
    unicode) pass_unicode ;;
    english) pass_english ;;
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
