// What the document asks of its plug-ins: a file decoded into the two
// movable blocks a plug-in hands over, the picture's information and its
// pixel rows.
#pragma once

#include "plugin/framework/susie_abi.h"

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  // 0 when the file was decoded: both blocks then belong to the caller.
  // Otherwise the plug-in's result code, or 2 when no plug-in took the
  // file, or 5 when one said it succeeded but handed nothing over.
  virtual int DecodeFile(const char* path, SpiHandle* info, SpiHandle* bits) = 0;
};
