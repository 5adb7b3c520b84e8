#include "viewer/engine/output.h"

#include <cstring>

#include "viewer/engine/pixel_convert.h"

namespace {

// The rows under the header the clipboard and the files are given.
const uint8_t* PixelsFor(const ImageDocument& document, const uint8_t* composite) {
  if (!document.HasBackground()) return document.foreground().pixels;
  return document.HasForeground() && composite ? composite : document.background().pixels;
}

const BitmapInfoHeader& HeaderFor(const ImageDocument& document) {
  return document.HasBackground() ? document.backgroundHeader() : document.foregroundHeader();
}

// The document's pictures passed the intake, so their sizes are known to fit.
size_t ImageSize(const BitmapInfoHeader& header) {
  size_t size = 0;
  DibImageSize(header.biWidth, header.biHeight, header.biBitCount, &size);
  return size;
}

}  // namespace

bool OutputPicture::Choose(const ImageDocument& document, const uint8_t* composite) {
  if (document.HasBackground()) {
    header_ = document.backgroundHeader();
    pixels_ = PixelsFor(document, composite);
    return true;
  }
  if (!document.HasForeground()) return false;
  // The foreground's own header, resolution included, describing 24-bit rows.
  header_ = document.foregroundHeader();
  header_.biBitCount = 24;
  header_.biSizeImage = 0;
  if (!flattened_.Allocate(ImageSize(header_))) return false;
  Flatten(document.foreground(), flattened_.data());
  pixels_ = flattened_.data();
  return true;
}

size_t ClipboardBitmapSize(const ImageDocument& document) {
  if (!document.HasBackground() && !document.HasForeground()) return 0;
  const BitmapInfoHeader& header = HeaderFor(document);
  return header.biSize + ImageSize(header);
}

void WriteClipboardBitmap(const ImageDocument& document, const uint8_t* composite, uint8_t* out) {
  const BitmapInfoHeader& header = HeaderFor(document);
  std::memcpy(out, &header, sizeof header);
  std::memcpy(out + header.biSize, PixelsFor(document, composite), ImageSize(header));
}
