// The viewer's intake of decoded pictures on arbitrary bytes, as a plug-in's
// result (an info block and a pixel block, each copied into a heap buffer of
// exactly its size so that AddressSanitizer sees a read past either) and as
// a packed DIB off the clipboard. Every picture taken in goes through the
// conversions and is composited over itself at a position from the input.
//
// Input: 2 bytes info-block length (modulo the rest), 4 + 4 bytes position,
// then the blocks.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "viewer/engine/compose.h"
#include "viewer/engine/foreground_pixels.h"
#include "viewer/engine/pixel_convert.h"

namespace {

constexpr size_t kPrefix = 10;

std::unique_ptr<uint8_t[]> ExactCopy(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size]);
  if (size) std::memcpy(copy.get(), data, size);
  return copy;
}

void Exercise(const DibPicture& picture, Point position) {
  const size_t bytes24 = Bgr24Of(nullptr, picture.width, picture.height).bytes;
  const size_t bytes32 = Bgra32Of(nullptr, picture.width, picture.height).bytes;
  size_t sourceBytes = 0;
  if (bytes24 == 0 || bytes32 == 0 ||
      !DibPictureBytes(static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height),
                       picture.header.biBitCount, &sourceBytes)) {
    __builtin_trap();  // the intake promised all three
  }
  std::vector<uint8_t> background(bytes24);
  const bool converted = ConvertTo24(picture, background.data());

  std::vector<uint8_t> foreground(bytes32);
  bool haveForeground = KeyForeground(picture, foreground.data());
  if (picture.header.biBitCount == 32) {
    std::unique_ptr<uint8_t[]> copy = ExactCopy(picture.pixels, sourceBytes);
    if (Premultiply(copy.get(), picture)) {
      std::memcpy(foreground.data(), copy.get(), foreground.size());
      haveForeground = true;
    }
  }
  if (!converted || !haveForeground) return;

  const Bgr24View back = Bgr24Of(background.data(), picture.width, picture.height);
  const Bgra32View fore = Bgra32Of(foreground.data(), picture.width, picture.height);
  std::unique_ptr<uint8_t[]> composite(new uint8_t[bytes24]);
  Compose(composite.get(), back, fore, position.x, StoredRowOfTop(position.y, picture.height, picture.height));
  HitsForeground(fore, position, Point{position.y, position.x});
  Flatten(fore, composite.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefix) return 0;
  const size_t rest = size - kPrefix;
  const size_t infoSize = Le16(data) % (rest + 1);
  const Point position{static_cast<int32_t>(Le32(data + 2)), static_cast<int32_t>(Le32(data + 6))};
  const uint8_t* blocks = data + kPrefix;

  const std::unique_ptr<uint8_t[]> info = ExactCopy(blocks, infoSize);
  const std::unique_ptr<uint8_t[]> pixels = ExactCopy(blocks + infoSize, rest - infoSize);
  DibPicture picture;
  if (ReadPluginPicture(ByteSpan{info.get(), infoSize}, ByteSpan{pixels.get(), rest - infoSize}, &picture)) {
    Exercise(picture, position);
  }
  const std::unique_ptr<uint8_t[]> packed = ExactCopy(blocks, rest);
  if (ReadPackedDib(ByteSpan{packed.get(), rest}, &picture)) Exercise(picture, position);
  return 0;
}
