// What the output commands ask of the image writer: one picture written
// as a file in one of its three formats.
#pragma once

#include <cstdint>

#include "viewer/engine/dib.h"
#include "viewer/engine/output_rules.h"

// The option passed with a picture: what the file is for.
enum WriterOption : int32_t {
  kWriterSave = 0,       // a file the user saves
  kWriterWallpaper = 2,  // the desktop's wallpaper bitmap
};

class PictureWriter {
 public:
  virtual ~PictureWriter() = default;
  // 0 when the file exists in the format; otherwise the writer's result
  // code (1 to 10, see ResultText).
  virtual int32_t Save(SaveFormat format, const char* path, int32_t option, const BitmapInfoHeader& header,
                       const uint8_t* pixels) = 0;
};
