#!/usr/bin/env bash
# The download of one width: dist/Trellin-winBITS.zip, one folder that a
# Windows user unpacks and runs, with the viewer, its image writer, the
# plug-in and the WIC codec of the same width and a short README.txt.
#   scripts/package.sh 32|64
set -euo pipefail
cd "$(dirname "$0")/.."
bits=$1
if [ "$bits" = 32 ]; then plugin=Mornel.spi; else plugin=Mornel.sph; fi
/usr/bin/python3 - "$bits" "$plugin" <<'EOF'
import sys
import zipfile
from pathlib import Path

bits, plugin = sys.argv[1], sys.argv[2]
codec = f"MornelCodec{bits}.dll"
explorer = "Explorer on 64-bit Windows is 64-bit" if bits == "64" else "on 32-bit Windows; on 64-bit Windows the 64-bit one"
folder = f"Trellin-win{bits}"
title = f"Trellin {bits}-bit"
readme = f"""{title}
{"=" * len(title)}

Trellin shows a picture with transparency (the foreground) over a
background picture. Drag the foreground with the mouse, then save the
composite as BMP, PNG or JPEG, copy it, print it or make it the desktop
wallpaper.

Unpack this folder anywhere and run Trellin.exe from it. Keep the three
files together:

  Trellin.exe   the viewer ({bits}-bit)
  xxgrp.dll     its image library: reads BMP, PNG, JPEG, GIF, TIFF and ICO,
                writes BMP, PNG and JPEG. Trellin does not start without it.
  {plugin}   the Mornel plug-in: reads the Leaf game formats px, lfb,
                lff, lcf, lgf, cz1, cz2, tga and bbm

Trellin finds plug-ins in its own folder and in the Windows system
folder; further Susie plug-ins of the same width
({'*.spi' if bits == '32' else '*.sph'}) placed beside it are used too.

File menu: Ctrl+Alt+O opens a foreground (a picture with an alpha
channel), Ctrl+Shift+O a background, Ctrl+O forces a picture without alpha
in as the foreground (its palette index 0, or the colour of its first
stored pixel, in most files the bottom-left one, becomes transparent).
Ctrl+S saves the composite; the file name's extension chooses the format
(.png, .jpg, anything else BMP).

The recent-file lists are kept in Trellin.ini beside Trellin.exe, or,
where that folder cannot be written, in %LOCALAPPDATA%\\Trellin.
The texts of the program are Japanese (code page 932).

{codec} lets the programs of the same width ({bits}-bit) that read
pictures through the Windows Imaging Component read the same Leaf
formats, and gives Explorer thumbnails of them
({explorer}). Trellin does not need it.
Register it from a command prompt in this folder, where it is to stay:

  regsvr32 {codec}
      for all users (as administrator)
  regsvr32 /i:user /n {codec}
      for yourself only
  regsvr32 /i:"user tga bbm" /n {codec}
      for yourself, with thumbnails for .tga and .bbm files too

Without "tga bbm" only px, lfb, lff, lcf, lgf, cz1 and cz2 files get
thumbnails, as .tga and .bbm files often belong to other programs.
To remove it: regsvr32 /u {codec} (all users), or
regsvr32 /u /i:user /n {codec} (yourself).
"""
dist = Path(f"dist/win{bits}")
target = Path(f"dist/{folder}.zip")
partial = target.with_suffix(".zip.part")
with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
    for name in ("Trellin.exe", "xxgrp.dll", plugin, codec):
        archive.write(dist / name, f"{folder}/{name}")
    archive.writestr(f"{folder}/README.txt", readme.replace("\n", "\r\n"))
partial.replace(target)
print(f"{target}: {', '.join(archive.namelist())}")
EOF
