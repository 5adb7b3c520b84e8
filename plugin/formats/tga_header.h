// The 18-byte TGA header, shared by TGA files and the tile records of BBM.
#pragma once

#include <cstdint>

#include "base/bytes.h"

struct TgaHeader {
  static constexpr size_t kSize = 18;

  uint16_t colourMapLength;
  uint8_t colourMapEntryBits;
  uint16_t xOrigin;
  uint16_t yOrigin;
  uint16_t width;
  uint16_t height;
  uint8_t pixelDepth;  // 0 already taken as 32
  bool topRowFirst;    // descriptor bit 5

  // `p` must hold kSize bytes.
  static TgaHeader Read(const uint8_t* p) {
    TgaHeader h;
    h.colourMapLength = Le16(p + 5);
    h.colourMapEntryBits = p[7];
    h.xOrigin = Le16(p + 8);
    h.yOrigin = Le16(p + 10);
    h.width = Le16(p + 12);
    h.height = Le16(p + 14);
    h.pixelDepth = p[16] ? p[16] : 32;
    h.topRowFirst = (p[17] & 0x20) != 0;
    return h;
  }
};

// A colour map as it lies in the file: entries of `entryBytes` from `base`.
// Entries that would lie past the data read as absent, so an index beyond
// a short map never reads outside the input.
class ColourMap {
 public:
  ColourMap(ByteSpan data, size_t base, size_t entryBytes) : entryBytes_(entryBytes) {
    const size_t room = data.Has(base, 0) ? data.size - base : 0;
    entries_ = entryBytes ? room / entryBytes : 0;
    first_ = data.data + (base < data.size ? base : data.size);
  }
  // The entry's bytes, or null when it lies outside the data.
  const uint8_t* Entry(size_t index) const { return index < entries_ ? first_ + index * entryBytes_ : nullptr; }

 private:
  const uint8_t* first_;
  size_t entryBytes_;
  size_t entries_;
};
