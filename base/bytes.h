// Bounded access to image data. Every decoder sees its input only through a
// ByteSpan (whole-block checks at fixed offsets) or a ByteReader (a cursor
// for streams of records), so no read can leave the bytes it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

struct ByteSpan {
  const uint8_t* data = nullptr;
  size_t size = 0;

  // True when bytes [offset, offset + count) lie inside the span. Taken in
  // 64 bits, so that a count reckoned from header fields is never cut to a
  // 32-bit size_t on its way here.
  bool Has(uint64_t offset, uint64_t count) const { return offset <= size && count <= size - offset; }
  // The bytes from offset on (empty when offset is past the end).
  ByteSpan From(size_t offset) const {
    return offset <= size ? ByteSpan{data + offset, size - offset} : ByteSpan{data + size, 0};
  }
};

class ByteReader {
 public:
  explicit ByteReader(ByteSpan span, size_t position = 0) : span_(span), position_(position) {}

  size_t position() const { return position_; }
  size_t remaining() const { return position_ <= span_.size ? span_.size - position_ : 0; }

  // Each operation either succeeds whole or returns false and moves nothing.
  bool Skip(size_t count) {
    if (!span_.Has(position_, count)) return false;
    position_ += count;
    return true;
  }
  bool Take(size_t count, const uint8_t** bytes) {
    if (!span_.Has(position_, count)) return false;
    *bytes = span_.data + position_;
    position_ += count;
    return true;
  }
  bool U8(uint8_t* value) {
    const uint8_t* p;
    if (!Take(1, &p)) return false;
    *value = *p;
    return true;
  }
  bool U16(uint16_t* value) {
    const uint8_t* p;
    if (!Take(2, &p)) return false;
    *value = Le16(p);
    return true;
  }
  bool U32(uint32_t* value) {
    const uint8_t* p;
    if (!Take(4, &p)) return false;
    *value = Le32(p);
    return true;
  }

 private:
  ByteSpan span_;
  size_t position_;
};
