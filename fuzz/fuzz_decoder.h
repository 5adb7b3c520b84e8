// The shared body of the decoder fuzzers: one decoder's GetInfo and Decode
// on the fuzzer's bytes, which libFuzzer hands over in a buffer of exactly
// their size, so that AddressSanitizer sees any read past the input.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "plugin/framework/spi_base.h"

// Header fields can ask for pictures of many gigabytes, and a few bytes
// can claim a large one (a BBM grid draws every cell from one record). Past
// this size AddressSanitizer maps every block afresh and each input cost a
// fresh zero-filled mapping and a picture drawn pixel by pixel: BBM ran at
// a thousand inputs a second with 32 MiB. Blocks up to this size come from
// its pools; larger ones fail here as a real heap refuses too large a
// block, so the refusal paths are fuzzed as well. Size arithmetic at the
// limits is the limit sweep's work.
constexpr size_t kFuzzAllocationLimit = size_t{128} << 10;

template <class Decoder>
int FuzzDecoder(const uint8_t* data, size_t size) {
  static const bool limited = (platform::test::SetAllocationLimit(kFuzzAllocationLimit), true);
  (void)limited;
  Decoder decoder;
  const ByteSpan input{data, size};
  PictureInfo info;
  decoder.GetInfo(input, &info);
  SpiHandle infoBlock = nullptr, bitsBlock = nullptr;
  if (decoder.Decode(input, DecodeTarget{&infoBlock, &bitsBlock}, Progress(nullptr, 0)) == SpiResult::Ok) {
    platform::FreeMovable(infoBlock);
    platform::FreeMovable(bitsBlock);
  }
  return 0;
}
