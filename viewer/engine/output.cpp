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

// Bytes of the rows under that header.
size_t RowsFor(const ImageDocument& document) {
  return document.HasBackground() ? document.background().bytes : document.foreground().bytes;
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
  const size_t bytes = Bgr24Of(nullptr, header_.biWidth, header_.biHeight).bytes;
  if (bytes == 0 || !flattened_.Allocate(bytes)) return false;
  Flatten(document.foreground(), flattened_.data());
  pixels_ = flattened_.data();
  return true;
}

size_t ClipboardBitmapSize(const ImageDocument& document) {
  if (!document.HasBackground() && !document.HasForeground()) return 0;
  return HeaderFor(document).biSize + RowsFor(document);
}

void WriteClipboardBitmap(const ImageDocument& document, const uint8_t* composite, uint8_t* out) {
  const BitmapInfoHeader& header = HeaderFor(document);
  std::memcpy(out, &header, sizeof header);
  std::memcpy(out + header.biSize, PixelsFor(document, composite), RowsFor(document));
}
