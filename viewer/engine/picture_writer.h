// What the output commands ask of the image writer: one picture written
// as a file in one of its three formats.
#pragma once

#include <cstdint>

#include "viewer/engine/dib.h"
#include "viewer/engine/output_rules.h"
#include "xxgrp/image_writer_abi.h"

class PictureWriter {
 public:
  virtual ~PictureWriter() = default;
  // kWriterOk when the file exists in the format; otherwise the writer's
  // result code (1 to 10; its text: ResultTextIndex). The option says what the file
  // is for (ImageWriterOption).
  virtual int32_t Save(SaveFormat format, const char* path, int32_t option, const BitmapInfoHeader& header,
                       const uint8_t* pixels) = 0;
};
