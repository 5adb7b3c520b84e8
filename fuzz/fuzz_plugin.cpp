// The whole plug-in through its exports in memory mode: detection
// (CreateDecoder) chooses among all decoders by a file name taken from the
// first input byte, then GetPictureInfo and GetPicture run on the rest.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_decoder.h"

SPI_EXPORT int SPI_CALL IsSupported(const char*, const void*);
SPI_EXPORT int SPI_CALL GetPictureInfo(const char*, SpiLongPtr, unsigned int, PictureInfo*);
SPI_EXPORT int SPI_CALL GetPicture(const char*, SpiLongPtr, unsigned int, SpiHandle*, SpiHandle*, ProgressCallback,
                                   SpiLongPtr);

namespace {

const char* const kNames[] = {nullptr, "a.tga", "a.bbm", "a.lfb", "a.lff", "a.lcf", "a.px", "a.PX", "x", "a.png"};

int SPI_CALL StopAtSecondCall(int numerator, int, SpiLongPtr) { return numerator > 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool limited = (platform::test::SetAllocationLimit(kFuzzAllocationLimit), true);
  (void)limited;
  if (size < 1) return 0;
  const char* name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
  const uint8_t selector = data[0];
  ++data;
  --size;
  // CreateDecoder through IsSupported, which is given 2,048 bytes.
  uint8_t header[2048] = {};
  for (size_t i = 0; i < size && i < sizeof header; ++i) header[i] = data[i];
  IsSupported(name, header);

  const char* image = reinterpret_cast<const char*>(data);
  PictureInfo info;
  GetPictureInfo(image, static_cast<SpiLongPtr>(size), 1, &info);
  SpiHandle infoBlock = nullptr, bitsBlock = nullptr;
  ProgressCallback callback = (selector & 0x80) ? StopAtSecondCall : nullptr;
  if (GetPicture(image, static_cast<SpiLongPtr>(size), 1, &infoBlock, &bitsBlock, callback, 0) == 0) {
    platform::FreeMovable(infoBlock);
    platform::FreeMovable(bitsBlock);
  }
  return 0;
}
