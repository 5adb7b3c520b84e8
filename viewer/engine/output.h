// What the output commands hand out: the picture that is saved or made
// the wallpaper, and the bitmap that is put on the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/blocks.h"
#include "viewer/engine/dib.h"
#include "viewer/engine/image_document.h"

// The composite is what the view last painted into its surface. Where the
// surface could not be made, the background stands for it alone.
class OutputPicture {
 public:
  // With a background: its 24-bit header and the composite (or the
  // background without a foreground). With only a foreground: its colour,
  // which is the foreground over black, flattened into a 24-bit copy. False
  // when there is no picture or the copy cannot be allocated.
  bool Choose(const ImageDocument& document, const uint8_t* composite);

  const BitmapInfoHeader& header() const { return header_; }
  const uint8_t* pixels() const { return pixels_; }

 private:
  BitmapInfoHeader header_{};
  const uint8_t* pixels_ = nullptr;
  HeapBuffer flattened_;
};

// The packed bitmap (header, then rows) the clipboard is given: the
// composite under the background's header when there is a background,
// otherwise the foreground's 32-bit premultiplied rows under its header.
// 0 bytes when there is no picture.
size_t ClipboardBitmapSize(const ImageDocument& document);
void WriteClipboardBitmap(const ImageDocument& document, const uint8_t* composite, uint8_t* out);
