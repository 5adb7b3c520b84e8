// The inverted-LZSS streams that carry the data of LFB, LFF and LCF files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bytes.h"
#include "base/sizes.h"
#include "plugin/framework/lzss.h"

// Whether `stream` could expand to `size` bytes at all: a flag byte and
// eight two-byte references (17 bytes) give at most 8 × 18 = 144 bytes, and
// no stream byte gives more than 9. Checked before a block of `size` bytes
// is allocated, so a header cannot ask for more than its data can fill.
inline bool StreamCanYield(ByteSpan stream, uint64_t size) {
  uint64_t most;
  if (!MulCount(stream.size / 17, 144, &most) || !AddCount(most, stream.size % 17 * 9, &most)) return true;
  return size <= most;
}

// Expands exactly `size` bytes into `out`; false when the stream ends first.
inline bool ExpandStream(uint8_t* out, ByteSpan stream, size_t size) {
  return ExpandLzssInverted(out, stream, size) == size;
}
