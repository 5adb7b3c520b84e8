// The shared body of the decoder fuzzers: one decoder's GetInfo and Decode
// on the fuzzer's bytes, which libFuzzer hands over in a buffer of exactly
// their size, so that AddressSanitizer sees any read past the input.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "plugin/framework/spi_base.h"

// Header fields can ask for pictures of many gigabytes; a real heap refuses
// such blocks and so does ours here, which keeps the fuzzers in budget.
constexpr size_t kFuzzAllocationLimit = size_t{32} << 20;

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
