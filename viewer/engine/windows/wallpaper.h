// The composite as the desktop wallpaper: written as a bitmap file into
// the Windows folder (or, where the account may not write there, into its
// own application-data folder), then named in the desktop's settings.
#pragma once

#include "viewer/engine/output.h"
#include "viewer/engine/picture_writer.h"

// False when the bitmap file cannot be written anywhere (the caller tells
// the user); the settings and the system call that follow report nothing.
bool SetWallpaper(PictureWriter& writer, const OutputPicture& picture, WallpaperCommand command);
