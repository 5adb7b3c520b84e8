# Sourced by scripts/test-viewer.sh after scripts/viewer-session.sh: the
# verdicts the scenarios give, the actions they share, and how scenarios
# are chosen, started and ended. Results go to $results.

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
wait_status() { wait_status_part "" "status bar" "$1"; }

# zoom_is TEXT: until the status bar's second part, the zoom, reads so.
zoom_is() { wait_status_part 1 "zoom in the status bar" "$1"; }

# wait_status_part PART WHAT TEXT: until that part of the status bar (with
# PART empty, what it shows: a menu prompt, else its first part) reads the
# text, five seconds at most.
wait_status_part() {
  local bar waited=0 shown
  bar=$(driver child "$FRAME" msctls_statusbar32)
  until shown=$(driver status "$bar" ${1:+"$1"}) && [ "$shown" = "$3" ]; do
    if [ $waited -ge 50 ]; then
      fail "$2: \"$shown\", expected \"$3\""
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  pass "$2: $3"
}

# view_shot FILE WIDTH HEIGHT: the top-left part of the view's client area
# as the screen shows it, once the viewer has painted.
view_shot() {
  local client
  client=($(view_client))
  driver sync "$FRAME" "$(timeout_ms)"
  sleep 0.5
  /usr/bin/python3 -c "
import sys
from PIL import ImageGrab
x, y, w, h = (int(v) for v in sys.argv[3:7])
ImageGrab.grab(xdisplay=sys.argv[1]).crop((x, y, x + w, y + h)).save(sys.argv[2])" \
    "$DISPLAY" "$1" "${client[0]}" "${client[1]}" "$2" "$3"
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

# menu_bar_is LANGUAGE: the frame's menu bar shows the program's menu of
# that language. Another process cannot read a window's menu, so the driver
# shows that menu in a window of its own of the frame's width, and the two
# menu bars are compared as the screen shows them, pixel for pixel (one
# over the other in $shots/menu-bar-LANGUAGE-PASS.png); then it goes away.
menu_bar_is() {
  local frame reference strips
  frame=($(driver rect "$FRAME"))
  reference=$(driver menu-reference "$(winpath "$VIEWER_PROGRAM")" "$1" "${frame[0]}" \
    $((frame[1] + frame[3] + 10)) "${frame[2]}" 120) || { fail "no reference menu ($1)"; return 1; }
  driver sync "$reference" "$(timeout_ms)"
  driver sync "$FRAME" "$(timeout_ms)"
  sleep 0.5
  strips=$(/usr/bin/python3 - "$DISPLAY" "$shots/menu-bar-$1-$PASS.png" $(driver rect "$FRAME" | cut -d' ' -f5-7) \
    $(driver rect "$reference" | cut -d' ' -f5-7) <<'EOF'
import sys
from PIL import Image, ImageChops, ImageGrab
# The menu bar lies just above the client area; its last row is a line.
HEIGHT = 16
screen = ImageGrab.grab(xdisplay=sys.argv[1]).convert("RGB")
frame_x, frame_y, width, ref_x, ref_y, _ = (int(v) for v in sys.argv[3:9])
frame = screen.crop((frame_x, frame_y - HEIGHT - 2, frame_x + width, frame_y - 2))
reference = screen.crop((ref_x, ref_y - HEIGHT - 2, ref_x + width, ref_y - 2))
both = Image.new("RGB", (width, 2 * HEIGHT))
both.paste(frame, (0, 0))
both.paste(reference, (0, HEIGHT))
both.save(sys.argv[2])
print("same" if ImageChops.difference(frame, reference).getbbox() is None else "differ")
EOF
)
  driver menu-reference-close
  same "menu bar in $1 ($LANG)" "$strips" same
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
jpeg_file() { [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = ffd8 ]; }

# settings FILE SECTION: the lines of a section of the settings file,
# "KEY=VALUE", read in the ANSI code page of the locale.
# A path as the settings file keeps one its code page cannot hold: UTF-8,
# every byte beyond printable ASCII, and '%', as %XX.
escaped() {
  /usr/bin/python3 -c 'import sys; print("".join(chr(b) if 0x20 < b < 0x7F and b != 0x25 else "%%%02X" % b for b in sys.argv[1].encode()))' "$1"
}

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
# new foreground is centred in it, and so lies on the background), with no
# settings file but the language the pass chose.
begin_scenario() {
  rm -f "$APP/Trellin.ini"
  [ -n "$VIEWER_CHOICE" ] && printf '[Settings]\r\nLanguage=%s\r\n' "$VIEWER_CHOICE" >"$APP/Trellin.ini"
  need "the viewer starts ($1, $LANG)" viewer_start "$APP" "$OUT/$1.log" || return 1
  driver place "$FRAME" 0 0 640 480
}
# exit_viewer KEYS...: the keys that end the viewer; one that does not end
# is reported and stopped. VIEWER_EXIT holds its exit code (124: stopped).
exit_viewer() {
  keys "$@"
  viewer_wait_exit
  if [ "$VIEWER_EXIT" = 124 ]; then
    fail "the viewer did not end"
    kill "$VIEWER_PID" 2>/dev/null
    wait "$VIEWER_PID" 2>/dev/null
  fi
  return 0
}
# end_scenario: File, Exit.
end_scenario() { exit_viewer alt+f x; }

SPRITE='sprite.tga (96x64x32 bit)'
SCENE='scene.bmp (480x320x24 bit)'
# The sprite over the scene, both dropped.
sprite_over_scene() {
  drop "$PICS/scene.bmp"
  drop "$PICS/sprite.tga"
  title_is "Trellin - $SPRITE / $SCENE"
}

# pass_setup NAME BITS: a fresh folder for the pass, with the tests'
# pictures and an application folder of that width.
pass_setup() {
  PASS=$1 APP=$work/$1/app PICS=$work/$1/pics OUT=$work/$1/out
  rm -rf "${work:?}/$1"
  mkdir -p "$OUT"
  pictures make "$PICS"
  make_app "$2" "$APP"
}
