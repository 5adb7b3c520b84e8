// The image writer of xxgrp.dll, bound when the program starts: the
// library is loaded as a plug-in, asked for its writer, and appended,
// still loaded, as the last entry of the plug-in list.
#pragma once

#include <string>

#include "viewer/engine/picture_writer.h"
#include "viewer/engine/windows/plugin_host.h"
#include "xxgrp/image_writer_abi.h"

class ImageWriterBinding : public PictureWriter {
 public:
  // Loads xxgrp.dll from `folder` by its full path. False when it cannot be
  // loaded as a plug-in or hands out no writer; the list is then unchanged.
  bool Bind(PluginList& plugins, const std::wstring& folder);
  bool IsBound() const { return writer_ != nullptr; }

  // Through the writer's saves, the object as the first argument: by the
  // UTF-16 path where the library hands out wide saves (GetImageWriterW),
  // otherwise by a path in the ANSI code page (9, the write error, when no
  // such path names the file). The programs never run unbound; called so,
  // it answers 8, the writer's own internal error.
  int32_t Save(SaveFormat format, const char* path, int32_t option, const BitmapInfoHeader& header,
               const uint8_t* pixels) override;

 private:
  ImageWriter* writer_ = nullptr;
  const ImageWriterWideSaves* wide_ = nullptr;  // none: ANSI paths only
};
