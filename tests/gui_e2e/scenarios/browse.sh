# The viewer's scenarios of the folder commands and of a long open, run by
# the 64 pass of scripts/test-viewer.sh under the Japanese locale.

# note_skipped NAMES: the status bar's note of the pictures stepped over.
note_skipped() { local t; t=$(text IDS_BROWSE_SKIPPED) && echo "${t/\%1/$1}"; }

# PageDown through a folder of five pictures, one of them broken: four
# open (the first through the dialog), the broken one is noted in the
# status bar with no message box, and the end of the folder stops with a
# note; PageUp goes back. Numbers in the names count as numbers.
scenario_browse_folder() {
  local folder="$PICS/poses"
  mkdir -p "$folder"
  local n
  for n in 1 2 4 10; do cp "$PICS/sprite.tga" "$folder/pose$n.tga"; done
  head -c 300 /dev/urandom >"$folder/pose3.tga"
  begin_scenario browse_folder || return
  drop "$PICS/scene.bmp"
  open_foreground "$folder/pose1.tga"
  title_is "Trellin - pose1.tga (96x64x32 bit) / $SCENE"
  keys Next
  title_is "Trellin - pose2.tga (96x64x32 bit) / $SCENE"
  keys Next
  title_is "Trellin - pose4.tga (96x64x32 bit) / $SCENE"
  wait_status "$(note_skipped pose3.tga)"
  same "no message box for a picture stepped over" "$(driver windows '#32770' | grep -c $'\t1\t')" 0
  keys Next
  title_is "Trellin - pose10.tga (96x64x32 bit) / $SCENE"
  keys Next
  wait_status "$(text IDS_BROWSE_LAST)"
  title_is "Trellin - pose10.tga (96x64x32 bit) / $SCENE"
  screenshot "$shots/browse-end.png"
  keys Prior
  title_is "Trellin - pose4.tga (96x64x32 bit) / $SCENE"
  # The background's folder holds the scenes: Ctrl+PageDown takes the next.
  keys ctrl+Next
  title_is "Trellin - pose4.tga (96x64x32 bit) / scene2.bmp (400x300x24 bit)"
  end_scenario
  local p=$(winpath "$folder")
  same "the recent foregrounds after stepping" "$(settings "$APP/Trellin.ini" RecentFgImage)" \
    "DocumentCount=8 Document4=$p\\pose1.tga Document3=$p\\pose2.tga Document2=$p\\pose10.tga Document1=$p\\pose4.tga"
}

# Esc while the stand-in plug-in opens a picture slowly (twenty reports a
# tenth of a second apart): the open stops, the picture and caption stay,
# no message box shows, and the status bar says it was stopped.
scenario_slow_open_esc() {
  local folder="$PICS/slow"
  mkdir -p "$folder"
  cp "$PICS/sprite.tga" "$folder/a.tga"
  # The stand-in's file: "FAKE", its digit ('0' + 13), three spare bytes,
  # a 2x2 32-bit bitmap.
  /usr/bin/python3 -c 'import struct, sys
sys.stdout.buffer.write(b"FAKE=\0\0\0" + struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 32, 0, 16, 0, 0, 0, 0) + b"\xff" * 16)' \
    >"$folder/b.fk="
  cp build/win64/tests/engine_windows/fakes/fake13.sph "$APP/"
  begin_scenario slow_open_esc || return
  open_foreground "$folder/a.tga"
  title_is "Trellin - a.tga (96x64x32 bit)"
  keys Next
  sleep 0.3
  xdotool key Escape
  wait_status "$(text IDS_OPEN_CANCELLED)"
  title_is "Trellin - a.tga (96x64x32 bit)"
  same "no message box after Esc" "$(driver windows '#32770' | grep -c $'\t1\t')" 0
  # Left alone, it opens.
  keys Next
  title_is "Trellin - b.fk= (2x2x32 bit)"
  end_scenario
  rm -f "$APP/fake13.sph"
}

SCENARIOS_64+=(browse_folder slow_open_esc)
