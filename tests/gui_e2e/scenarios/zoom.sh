# The viewer's zoom from end to end: the keys, the status bar, the screen
# at 200 % pixel for pixel, a drag with the real mouse at 200 %, and the
# zoom kept across a restart. Run by the 64-bit pass of
# scripts/test-viewer.sh, and by the English one, in English.

# The composite's picture pixels, each two by two window pixels at 200 %:
# the sprite is centred in the 640x480 window first, over the scene, then
# the window grows to show the whole scene at 200 % without scrolling (the
# position stays), and Ctrl+Plus twice zooms to 200 %.
scenario_zoom() {
  begin_scenario zoom || return
  sprite_over_scene
  local at
  at=$(centred 96 64)
  local x=${at%,*} y=${at#*,}
  driver place "$FRAME" 0 0 1100 820
  # The pointer away from the window, where no tool-tip can show over it.
  xdotool mousemove 1500 1150
  zoom_is "100%"
  keys ctrl+equal
  zoom_is "150%"
  keys ctrl+KP_Add
  zoom_is "200%"
  title_is "Trellin - $SPRITE / $SCENE"
  view_shot "$OUT/zoom-200.png" 960 640
  composite "$OUT/zoom-200.png" scene sprite "$at" 2
  screenshot_window "$shots/zoom-200-${LANG%%.*}.png"

  # The real mouse presses on the sprite's middle and moves 40 window
  # pixels right and 24 up: the sprite moves half as far.
  drag 40 -24 $((2 * (x + 48))) $((2 * (y + 32)))
  view_shot "$OUT/zoom-200-dragged.png" 960 640
  composite "$OUT/zoom-200-dragged.png" scene sprite "$((x + 20)),$((y - 12))" 2
  # What goes out is the composite at 100 %.
  save_as ctrl+s "$OUT/zoom-dragged.png" && composite "$OUT/zoom-dragged.png" scene sprite "$((x + 20)),$((y - 12))"
  xdotool mousemove 1500 1150

  keys ctrl+minus
  zoom_is "150%"
  keys ctrl+0
  zoom_is "100%"
  keys ctrl+9
  zoom_is "$(text IDS_ZOOM_FIT_STATUS | sed 's/%1/100/')"
  keys ctrl+equal ctrl+equal
  zoom_is "200%"
  exit_viewer alt+f x
  same "the zoom in the settings file" "$(settings "$APP/Trellin.ini" Settings)" "Zoom=200"
  need "the viewer starts again with the zoom" viewer_start "$APP" "$OUT/zoom-2.log" || return
  zoom_is "200%"
  end_scenario
}
