// What the document asks of its plug-ins: a file decoded into the two
// movable blocks a plug-in hands over, the picture's information and its
// pixel rows.
#pragma once

#include "viewer/engine/result.h"

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  // `path` in UTF-8. Ok when the file was decoded: both blocks then belong
  // to the caller. Otherwise the plug-in's result code, or kRefused when no
  // plug-in took the file, or kNothingHandedOver when one said it
  // succeeded but handed nothing over.
  virtual SpiResult DecodeFile(const char* path, SpiHandle* info, SpiHandle* bits) = 0;
};
