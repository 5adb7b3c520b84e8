# Sourced by the scripts that run the real Trellin.exe on an X display and
# work it as a user would: keys and menus through xdotool (XTEST), the mouse
# through xdotool, and tests/gui_e2e/trellin_driver.exe for what input
# cannot reach (finding windows, reading texts, the clipboard, dropping).
#
# The caller sets DISPLAY, sources scripts/wine.sh, runs
# wine_session_begin and then viewer_session_begin BITS. Every wait has a
# time-out (VIEWER_TIMEOUT seconds, longer for 32-bit programs, which run
# through the i386 emulator where the kernel cannot run them).
viewer_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# viewer_locale LOCALE: the Unix locale the programs run under, from which
# Wine takes its ANSI code page: ja_JP.UTF-8 (932, the viewer's first
# home) or en_US.UTF-8 (1252, where no Japanese text can pass through an
# ANSI call). VIEWER_CODEPAGE names the settings file's encoding.
# VIEWER_LANGUAGE is the language of the texts the viewer shows there
# ("ja" or "en"): Japanese on a Japanese system, English elsewhere, unless
# the settings file chooses (viewer_choose_language).
viewer_locale() {
  export LANG=$1 LC_ALL=$1
  case $1 in
    ja_JP*) VIEWER_CODEPAGE=cp932 VIEWER_LANGUAGE=ja ;;
    *) VIEWER_CODEPAGE=cp1252 VIEWER_LANGUAGE=en ;;
  esac
  VIEWER_CHOICE=
}
viewer_locale ja_JP.UTF-8

# viewer_choose_language ja|en: every start of the viewer finds that
# language chosen in its settings file (begin_scenario writes it), and
# shows it whatever the locale.
viewer_choose_language() { VIEWER_CHOICE=$1 VIEWER_LANGUAGE=$1; }

# Wine's own interface font has no Japanese letters; a Japanese system's
# has. Linked to the Japanese font, as Windows links its interface font to
# the fonts of other scripts, it shows Japanese texts under any locale.
viewer_japanese_fonts() {
  "$(wine_for 64)" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1
}

viewer_session_begin() {
  VIEWER_BITS=$1
  # Whose texts `text` reads: the program of the session's width.
  VIEWER_PROGRAM=$viewer_session_root/dist/win$VIEWER_BITS/Trellin.exe
  VIEWER_TIMEOUT=$([ "$VIEWER_BITS" = 32 ] && echo 300 || echo 20)
  # The 64-bit driver serves both widths: it only talks to windows.
  DRIVER_EXE=$viewer_session_root/build/win64/tests/gui_e2e/trellin_driver.exe
  # One driver process serves every command: a Wine program start per
  # command would cost a quarter of a second each.
  # The coprocess's own descriptors are closed in subshells, and commands
  # run in $(...) too: copies of them are not.
  coproc DRIVER { exec "$(wine_for 64)" "$DRIVER_EXE" serve; }
  exec {DRIVER_IN}>&"${DRIVER[1]}" {DRIVER_OUT}<&"${DRIVER[0]}"
}

viewer_session_end() {
  if [ -n "${DRIVER_IN:-}" ]; then
    # At the end of its input the driver ends.
    local input=${DRIVER[1]:-}
    exec {DRIVER_IN}>&- {DRIVER_OUT}<&-
    [ -n "$input" ] && eval "exec $input>&-"
    wait "$DRIVER_PID" 2>/dev/null
    DRIVER_IN=
  fi
  return 0
}

# driver COMMAND ARGUMENTS...: one command of the driver; its output, and
# its exit code as the function's.
# On a display without a window manager nobody draws window captions:
# Wine draws them itself with this setting, and leaves them to the window
# manager without it.
viewer_own_captions() {
  if [ "$1" = yes ]; then
    "$(wine_for 64)" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    viewer_caption_font
  else
    "$(wine_for 64)" reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1
  fi
  return 0
}

# Wine draws the caption buttons (minimise, maximise, close) with the
# Marlett font, as Windows does. Debian's Wine brings the font among its
# own but does not find it there, and draws the letters "0 1 r" in its
# place. Wine 8 finds it copied into the prefix's fonts folder, where
# Windows keeps its fonts (a registry entry for the file where it lies
# serves as well).
viewer_caption_font() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  [ -f "$fonts/marlett.ttf" ] && return 0
  local font
  for font in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
    [ -f "$font" ] && mkdir -p "$fonts" && cp "$font" "$fonts/" && return 0
  done
  return 0
}

driver() {
  local IFS=$'\t' line
  printf '%s\n' "$*" >&"$DRIVER_IN"
  while IFS= read -r line <&"$DRIVER_OUT"; do
    if [[ $line == $'\x01'* ]]; then
      return "${line#$'\x01'}"
    fi
    printf '%s\n' "$line"
  done
  return 1
}

# The Windows path of a Unix path (Wine's drive Z: is the root).
winpath() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }

# Commands and texts by their names in viewer/resources/resource.h.
# resource_id NAME: the identifier's number.
resource_id() {
  awk -v name="$1" '$1 == "#define" && $2 == name {print $3; found = 1} END {exit !found}' \
    "$viewer_session_root/viewer/resources/resource.h"
}
# text NAME [LANGUAGE]: the program's own string-table text of that name
# (line breaks as \n), read from Trellin.exe, in the language the viewer
# shows or the one given.
text() { driver resource-text "$(winpath "$VIEWER_PROGRAM")" "$(resource_id "$1")" "${2:-$VIEWER_LANGUAGE}"; }
# prompt COMMAND [LANGUAGE], tip COMMAND [LANGUAGE]: the status-bar prompt
# and the tool-tip of a command, the first and second line of its text.
prompt() { local t; t=$(text "$1" "${2:-}") && echo "${t%%\\n*}"; }
tip() { local t; t=$(text "$1" "${2:-}") && echo "${t#*\\n}"; }

# Controls of the system's own dialogs: the file dialogs' file name field,
# a message box's text and the OK button.
FILE_NAME_FIELD=1148
MESSAGE_TEXT=65535
IDOK=1

# The save dialog is the system's own, titled in the system's language.
save_title() { case $LANG in ja_JP*) echo '名前を付けて保存' ;; *) echo 'Save As' ;; esac; }

# control_text DIALOG ID: the text of the dialog's control (line breaks as \n).
control_text() { driver controls "$1" | awk -F'\t' -v id="$2" '$1 == id {print $3; exit}'; }

timeout_ms() { echo $((VIEWER_TIMEOUT * 1000)); }

# viewer_start FOLDER LOG: Trellin.exe of that folder, started in it (it
# finds its plug-ins in the current folder). Sets VIEWER_PID, FRAME, VIEW,
# TOOLBAR and XFRAME (the frame's X window).
viewer_start() {
  local folder=$1 log=$2
  (cd "$folder" && exec "$(wine_for "$VIEWER_BITS")" Trellin.exe >"$log" 2>&1) &
  VIEWER_PID=$!
  # Looked for in short turns, so that a program that ends at once is
  # reported at once.
  local waited=0
  until FRAME=$(driver wait-window TrellinFrame - 2000 2>/dev/null); do
    waited=$((waited + 2))
    if ! kill -0 "$VIEWER_PID" 2>/dev/null || [ $waited -ge "$VIEWER_TIMEOUT" ]; then
      echo "the viewer did not show its window; its output:" >&2
      head -5 "$log" >&2
      return 1
    fi
  done
  VIEW=$(driver child "$FRAME" TrellinView) || return 1
  TOOLBAR=$(driver child "$FRAME" ToolbarWindow32) || return 1
  XFRAME=$(driver xwindow "$FRAME") || return 1
}

# viewer_wait_exit: sets VIEWER_EXIT to the viewer's exit code once it has
# ended (124 when it does not end in time). Not in a subshell: only this
# shell can wait for its child.
viewer_wait_exit() {
  local waited=0
  VIEWER_EXIT=124
  while kill -0 "$VIEWER_PID" 2>/dev/null; do
    [ $waited -ge $((VIEWER_TIMEOUT * 10)) ] && return
    sleep 0.1
    waited=$((waited + 1))
  done
  VIEWER_EXIT=0
  wait "$VIEWER_PID" || VIEWER_EXIT=$?
}

# The X window of a Windows top-level window, focused for keyboard input.
# Without a window manager, windowactivate cannot work; focusing can. With
# one, activating raises the window and gives it the focus the manager's way.
focus_window() {
  local x
  x=$(driver xwindow "$1") || return 1
  xdotool windowactivate --sync "$x" 2>/dev/null || xdotool windowfocus --sync "$x"
}

# keys KEY...: key strokes to the frame, as xdotool names them (ctrl+alt+o).
keys() {
  focus_window "$FRAME" && xdotool key --delay 40 "$@"
}

# The text of a file dialog's file name field.
file_name_field() { driver controls "$1" | awk -F'\t' -v id="$FILE_NAME_FIELD" '$1 == id && $2 == "Edit" {print $3}'; }

# wait_field DIALOG TEXT: until the dialog's file name field holds the
# text; keys can still be on their way to a busy program.
wait_field() {
  local waited=0
  until [ "$(file_name_field "$1")" = "$2" ]; do
    [ $waited -ge $((VIEWER_TIMEOUT / 4 + 2)) ] && return 1
    sleep 1
    waited=$((waited + 1))
  done
}

# choose_file TITLE PATH: in the file dialog of that title, types the path
# and confirms; waits until the dialog has gone. Wine reads the modifier
# keys' state when it handles a key, not when the key was pressed: keys
# that reach a busy program late can lose their Shift (":" arrives as
# ";"). So the keys go slowly to a 32-bit program under the emulator, and
# the field is read back and typed again until it holds the path; when it
# never does, the dialog is cancelled.
choose_file() {
  local title=$1 path
  path=$(winpath "$2")
  local dialog try delay
  delay=$([ "$VIEWER_BITS" = 32 ] && echo 60 || echo 8)
  dialog=$(driver wait-window '#32770' "$title" "$(timeout_ms)") || return 1
  for try in 1 2 3; do
    focus_window "$dialog"
    xdotool key ctrl+a
    xdotool type --delay "$delay" "$path"
    if wait_field "$dialog" "$path"; then
      xdotool key Return
      driver wait-gone "$dialog" "$(timeout_ms)"
      return
    fi
  done
  echo "choose_file: the field holds \"$(file_name_field "$dialog")\", not \"$path\"" >&2
  xdotool key Escape
  return 1
}

# click_toolbar COMMAND: a real mouse click on that command's toolbar button.
click_toolbar() {
  local point
  point=$(driver button "$TOOLBAR" "$(resource_id "$1")") || return 1
  # shellcheck disable=SC2086
  xdotool mousemove --sync $point click 1
}

# wait_file PATH [MARKER]: until the file exists (and, with a marker,
# contains it).
wait_file() {
  local path=$1 marker=${2:-} waited=0
  until [ -s "$path" ] && { [ -z "$marker" ] || grep -aq -- "$marker" "$path"; }; do
    [ $waited -ge $((VIEWER_TIMEOUT * 10)) ] && return 1
    sleep 0.1
    waited=$((waited + 1))
  done
}

# expect_title TEXT: until the frame's caption reads so.
expect_title() { driver wait-title "$FRAME" "$1" "$(timeout_ms)"; }

# The view's client area: its screen origin and size, "X Y WIDTH HEIGHT".
view_client() { driver rect "$VIEW" | awk '{print $5, $6, $7, $8}'; }

# centred WIDTH HEIGHT: where a new foreground of that size is placed,
# |(client - size) / 2| on each axis, as "X,Y".
centred() {
  local client
  client=($(view_client))
  local x=$(((client[2] - $1) / 2)) y=$(((client[3] - $2) / 2))
  echo "${x#-},${y#-}"
}

# screenshot FILE: the whole display.
screenshot() {
  /usr/bin/python3 -c "import sys; from PIL import ImageGrab; ImageGrab.grab(xdisplay=sys.argv[1]).save(sys.argv[2])" \
    "$DISPLAY" "$1"
}

# screenshot_window FILE: the frame with its caption.
screenshot_window() {
  local r
  r=($(driver rect "$FRAME"))
  /usr/bin/python3 -c "
import sys
from PIL import ImageGrab
x, y, w, h = (int(v) for v in sys.argv[3:7])
ImageGrab.grab(xdisplay=sys.argv[1]).crop((x, y, x + w, y + h)).save(sys.argv[2])" "$DISPLAY" "$1" "${r[@]:0:4}"
}
