# The viewer's scenarios of every command, run by the 64 pass of
# scripts/test-viewer.sh under the Japanese locale. Each starts the viewer
# afresh and leaves it closed.

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
  xdotool key Down Down Down Down Down Down
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
# ".jpeg" is JPEG too, and a name without one gets ".bmp".
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
    check "a .jpeg name gets a JPEG file" jpeg_file "$OUT/composite.jpeg"
  rm -f "$OUT/plain.bmp"
  if keys ctrl+s && choose_file "$(save_title)" "$OUT/plain" && wait_file "$OUT/plain.bmp"; then
    composite "$OUT/plain.bmp" scene sprite "$at"
  else
    fail "a name without extension gets no .bmp file"
  fi
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
  exit_viewer alt+f x
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
  exit_viewer alt+F4
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
  forced_foregrounds wallpaper print new_keeps_copy recent_lists zoom)
