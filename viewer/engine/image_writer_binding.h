// The image writer of xxgrp.dll, bound when the document is built: the
// library is loaded as a plug-in, asked for its writer, and appended,
// still loaded, as the last entry of the plug-in list.
#pragma once

#include <string>

#include "viewer/engine/picture_writer.h"
#include "viewer/engine/plugin_host.h"
#include "xxgrp/image_writer_abi.h"

// The program's one fatal failure: a warning without an owner window, then
// the process ends with exit code 0.
[[noreturn]] void ExitForMissingImageWriter();

class ImageWriterBinding : public PictureWriter {
 public:
  // Loads xxgrp.dll from `folder` by its full path. False when it cannot be
  // loaded as a plug-in or hands out no writer; the list is then unchanged.
  bool Bind(PluginList& plugins, const std::string& folder);
  bool IsBound() const { return writer_ != nullptr; }

  // Through the writer's table, the object as the first argument. Called
  // unbound, it ends the program as a missing library does.
  int32_t Save(SaveFormat format, const char* path, int32_t option, const BitmapInfoHeader& header,
               const uint8_t* pixels) override;

 private:
  ImageWriter* writer_ = nullptr;
};
