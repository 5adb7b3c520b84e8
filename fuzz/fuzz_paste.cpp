// A bitmap from the clipboard, pasted into the document as any program may
// have put it there, then everything the viewer makes from the document:
// the caption, the composite, the picture that is saved and the bitmap it
// puts on the clipboard itself. Each block is a heap copy of exactly its
// size, so AddressSanitizer sees a read past it.
//
// Input: 2 bytes for the first bitmap's length (modulo the rest), then two
// bitmaps one after the other: a foreground and a background may both come
// in.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "base/bytes.h"
#include "viewer/engine/compose.h"
#include "viewer/engine/image_document.h"
#include "viewer/engine/output.h"

namespace {

// The document reads no files here.
class NoPlugins final : public PictureDecoder {
 public:
  SpiResult DecodeFile(const char*, SpiHandle*, SpiHandle*) override { return kRefused; }
};

void Paste(ImageDocument& document, const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> block(new uint8_t[size ? size : 1]);
  if (size) std::memcpy(block.get(), data, size);
  document.PastePicture(ByteSpan{block.get(), size}, "[None title]");
}

void MakeEverything(const ImageDocument& document) {
  document.Caption("Trellin");
  std::vector<uint8_t> composite;
  if (document.HasForeground() && document.HasBackground()) {
    const Bgr24View background = document.background();
    const Bgra32View foreground = document.foreground();
    if (background.bytes == 0) __builtin_trap();  // the intake promised it
    composite.resize(background.bytes);
    Compose(composite.data(), background, foreground, 1, StoredRowOfTop(-1, background.height, foreground.height));
  }
  OutputPicture picture;
  picture.Choose(document, composite.empty() ? nullptr : composite.data());
  const size_t clipboardSize = ClipboardBitmapSize(document);
  if (clipboardSize == 0) return;
  std::unique_ptr<uint8_t[]> clipboard(new uint8_t[clipboardSize]);
  WriteClipboardBitmap(document, composite.empty() ? nullptr : composite.data(), clipboard.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t rest = size - 2;
  const size_t first = Le16(data) % (rest + 1);
  NoPlugins plugins;
  ImageDocument document(plugins);
  Paste(document, data + 2, first);
  MakeEverything(document);
  Paste(document, data + 2 + first, rest - first);
  MakeEverything(document);
  return 0;
}
