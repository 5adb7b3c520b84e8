#!/usr/bin/env bash
# make run's viewer part: the 64-bit Trellin.exe under Wine, started in
# dist/win64, opens a sample sprite and a sample background through its own
# File commands (Ctrl+Alt+O, Ctrl+Shift+O and the open dialogs).
#
# With DISPLAY set this happens on that display and the viewer is left
# running for the user. Without one it happens on a virtual display, where
# the sprite is also dragged with the mouse, the composite saved through the
# viewer's save dialog to out/composite.png and the window photographed to
# out/trellin.png; then the viewer is closed.
set -uo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  VIEWER_VIRTUAL_DISPLAY=1 exec scripts/on-display.sh "$0" "$@"
fi
virtual=${VIEWER_VIRTUAL_DISPLAY:-}
source scripts/wine.sh
source scripts/viewer-session.sh

samples=$PWD/samples
out=$PWD/out
# A prefix made on a display: Wine takes the screen's size from the display
# the prefix is first set up on.
wine_session_begin 64 viewer-run
viewer_own_captions "$([ -n "$virtual" ] && echo yes || echo no)"
viewer_session_begin 64

stop() {
  echo "run-viewer: $*" >&2
  [ -n "$virtual" ] && screenshot "$out/trellin-failed.png"
  viewer_session_end
  [ -n "$virtual" ] && wine_session_end
  exit 1
}

viewer_start dist/win64 "$PWD/build/run-viewer.log" || stop "the viewer did not start"

# The window sized so that the view shows the whole 640x400 background: the
# sprite is centred in the view and so lies on the background.
driver place "$FRAME" 0 0 800 600
client=($(view_client))
frame=($(driver rect "$FRAME"))
driver place "$FRAME" 0 0 $((frame[2] + 640 - client[2])) $((frame[3] + 400 - client[3]))

keys ctrl+alt+o && choose_file "$(text IDS_OPEN_FOREGROUND_TITLE)" "$samples/sprite.cz2" || stop "the sprite was not opened"
keys ctrl+shift+o && choose_file "$(text IDS_OPEN_BACKGROUND_TITLE)" "$samples/scene.cz1" || stop "the background was not opened"
expect_title 'Trellin - sprite.cz2 (160x160x32 bit) / scene.cz1 (640x400x24 bit)' || stop "unexpected caption: $(driver text "$FRAME")"
echo "viewer: $(driver text "$FRAME")"

if [ -z "$virtual" ]; then
  echo "the viewer stays open on $DISPLAY"
  viewer_session_end
  exit 0
fi

# Drag the sprite by an opaque pixel (its centre) to the right and up.
at=$(centred 160 160)
client=($(view_client))
x=$((client[0] + ${at%,*} + 80)) y=$((client[1] + ${at#*,} + 80))
xdotool mousemove --sync "$x" "$y" mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove --sync $((x + 25 * step)) $((y - 8 * step))
done
xdotool mouseup 1
xdotool mousemove --sync 0 0

rm -f "$out/composite.png"
keys ctrl+s && choose_file "$(save_title)" "$out/composite.png" && wait_file "$out/composite.png" ||
  stop "the composite was not saved"
echo "composite saved by the viewer to out/composite.png"
screenshot_window "$out/trellin.png"
echo "screenshot of the viewer in out/trellin.png"
keys alt+f x
viewer_wait_exit
viewer_session_end
wine_session_end
