#include "plugin/formats/px_runs.h"

#include <cstring>

namespace {

constexpr size_t kRunHeadSize = 8;  // dy, dx, pixel count
constexpr size_t kAlphaByte = 3;

void CopyRunPixels(uint8_t* out, const uint8_t* in, size_t count, size_t pixelBytes, bool alphaRule) {
  std::memcpy(out, in, count * pixelBytes);
  if (!alphaRule) return;
  for (size_t i = 0; i < count; ++i, out += pixelBytes) out[kAlphaByte] = RunListAlpha(out[kAlphaByte]);
}

}  // namespace

RunCanvas::RunCanvas(const PxPicture& picture, int64_t x, int64_t y, uint32_t width, uint32_t height)
    : picture_(picture), x_(x), y_(y), width_(width) {
  rowBegin_ = std::max<int64_t>(0, -y);
  rowEnd_ = std::min<int64_t>(height, picture.height - y);
  columnBegin_ = std::max<int64_t>(0, -x);
  columnEnd_ = std::min<int64_t>(width, picture.width - x);
  if (rowBegin_ >= rowEnd_ || columnBegin_ >= columnEnd_) return;
  visibleBegin_ = rowBegin_ * width_;
  visibleEnd_ = std::min(rowEnd_, kFar / width_) * width_;
}

void RunCanvas::Clear() const {
  if (columnBegin_ >= columnEnd_) return;
  const size_t bytes = static_cast<size_t>(columnEnd_ - columnBegin_) * picture_.pixelBytes;
  for (int64_t row = rowBegin_; row < rowEnd_; ++row) std::memset(picture_.At(x_ + columnBegin_, y_ + row), 0, bytes);
}

bool DrawRunList(ByteReader& reader, RunCanvas& canvas, bool alphaRule) {
  const size_t pixelBytes = canvas.pixelBytes();
  // The alpha byte is the fourth of a pixel; narrower pixels have none.
  alphaRule = alphaRule && pixelBytes > kAlphaByte;
  for (;;) {
    uint32_t tag;
    if (!reader.U32(&tag)) return false;
    if (tag == kRunListEnd) return true;
    if (tag == kRunListSkip) continue;
    const uint8_t* head;
    const uint8_t* pixels;
    size_t pixelBytesInRun;
    if (!reader.Take(kRunHeadSize, &head)) return false;
    const uint32_t count = Le32(head + 4);
    if (!MulSize(count, pixelBytes, &pixelBytesInRun) || !reader.Take(pixelBytesInRun, &pixels)) return false;
    canvas.Move(static_cast<int16_t>(Le16(head)), static_cast<int16_t>(Le16(head + 2)));
    canvas.Run(count, [&](uint8_t* out, size_t first, size_t n) {
      CopyRunPixels(out, pixels + first * pixelBytes, n, pixelBytes, alphaRule);
    });
  }
}

bool RunListEnds(ByteReader reader, size_t pixelBytes) {
  RunCanvas nowhere(PxPicture::None(pixelBytes), 0, 0, 0, 0);
  return DrawRunList(reader, nowhere, false);
}
