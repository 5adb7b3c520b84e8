// The two LZSS expanders of the Leaf formats. Both keep a 4,096-byte ring
// that starts zeroed with its write position at 0xFEE, and both stop the
// moment `outputSize` bytes are written, also inside a reference.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bytes.h"

// Plain bytes, flags from the least significant bit, a reference is b0 with
// b1's high nibble as position bits 8-11 and b1's low nibble + 3 as count.
// Returns the number of bytes written: outputSize, or fewer when the source
// ran out first.
size_t ExpandLzss(uint8_t* destination, ByteSpan source, size_t outputSize);

// Every stored byte inverted, flags from the most significant bit, a
// reference is w = b0 + 256 × b1 with position w >> 4 and count (w & 15) + 3.
// Returns the number of bytes written, as ExpandLzss.
size_t ExpandLzssInverted(uint8_t* destination, ByteSpan source, size_t outputSize);
