// spiconv's files made of arbitrary plug-in blocks: the rows of a PNG file
// and the bytes of a BMP file. Each block is copied into a vector of
// exactly its size, so that AddressSanitizer sees a read past either.
//
// Input: as fuzz_dib_intake's (whose seeds serve here too): 2 bytes
// info-block length (modulo the rest), 8 bytes this fuzzer ignores, then
// the blocks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/spiconv/bmp_bytes.h"
#include "tools/spiconv/png_rows.h"

namespace {

constexpr size_t kPrefix = 10;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefix) return 0;
  const size_t rest = size - kPrefix;
  const size_t infoSize = Le16(data) % (rest + 1);
  const uint8_t* blocks = data + kPrefix;
  const std::vector<uint8_t> info(blocks, blocks + infoSize), bits(blocks + infoSize, blocks + rest);
  const ByteSpan infoSpan{info.data(), info.size()}, bitsSpan{bits.data(), bits.size()};

  PngRows rows;
  if (MakePngRows(infoSpan, bitsSpan, &rows)) {
    // Every row the encoder is handed lies inside the pixels.
    const size_t rowBytes = size_t{rows.width} * (rows.alpha ? 4 : 3);
    if (rows.stride < rowBytes || rows.pixels.size() != rows.stride * rows.height) __builtin_trap();
    uint8_t sum = 0;
    for (uint32_t y = 0; y < rows.height; ++y) sum ^= rows.Row(y)[rowBytes - 1];
    static_cast<void>(sum);
  }
  // spiconv writes a BMP file only of an information block that holds a header.
  if (infoSize >= 40) {
    std::vector<uint8_t> file;
    if (MakeBmpFile(infoSpan, bitsSpan, &file) && file.size() < 14 + KeptInfoBytes(infoSpan)) __builtin_trap();
  }
  return 0;
}
