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

// Size arithmetic that reports overflow instead of wrapping. Every size,
// stride and offset derived from header fields goes through these; only a
// 16-bit field times an 8-bit one or a small constant, which cannot wrap
// even a 32-bit size_t, is written plainly.
//
// Byte counts of input a header promises are reckoned in 64 bits first:
// a file that cannot hold them is refused the same way whatever the width
// of size_t, and only then are the output sizes planned in size_t, where a
// 32-bit process may find a picture too big for it.
inline bool MulCount(uint64_t a, uint64_t b, uint64_t* product) {
  if (a != 0 && b > UINT64_MAX / a) return false;
  *product = a * b;
  return true;
}
inline bool AddCount(uint64_t a, uint64_t b, uint64_t* sum) {
  if (b > UINT64_MAX - a) return false;
  *sum = a + b;
  return true;
}
// A 64-bit count as a size_t; false when the process cannot address it.
inline bool ToSize(uint64_t count, size_t* size) {
  if (count > SIZE_MAX) return false;
  *size = static_cast<size_t>(count);
  return true;
}
inline bool MulSize(size_t a, size_t b, size_t* product) {
  if (a != 0 && b > SIZE_MAX / a) return false;
  *product = a * b;
  return true;
}
inline bool AddSize(size_t a, size_t b, size_t* sum) {
  if (b > SIZE_MAX - a) return false;
  *sum = a + b;
  return true;
}
// A row length rounded up to the DIB row alignment of 4 bytes.
inline bool AlignRow(size_t rowBytes, size_t* stride) {
  if (rowBytes > SIZE_MAX - 3) return false;
  *stride = (rowBytes + 3) & ~static_cast<size_t>(3);
  return true;
}

// The largest block of pixel rows of any picture the viewer holds or its
// image library decodes or writes, the 32-bit form of a picture included:
// 2 GiB less one byte, so that every size fits the signed 32-bit fields of
// a bitmap header and stays one size in both widths of every program.
inline constexpr uint64_t kMaxPictureBytes = 0x7FFFFFFF;

// Bytes of one bitmap row of `width` pixels of `bitCount` bits, padded to
// 4 bytes: ((width × bitCount + 31) / 32) × 4. False when width is 0 or
// the row passes kMaxPictureBytes.
inline bool DibRowBytes(uint64_t width, unsigned bitCount, size_t* row) {
  uint64_t bits, padded;
  if (width == 0 || !MulCount(width, bitCount, &bits) || !AddCount(bits, 31, &padded)) return false;
  const uint64_t bytes = padded / 32 * 4;
  if (bytes > kMaxPictureBytes) return false;
  *row = static_cast<size_t>(bytes);
  return true;
}
// Bytes of `rows` such rows; false when either count is 0 or the total
// passes kMaxPictureBytes.
inline bool DibPictureBytes(uint64_t width, uint64_t rows, unsigned bitCount, size_t* bytes) {
  size_t row;
  uint64_t total;
  if (rows == 0 || !DibRowBytes(width, bitCount, &row) || !MulCount(row, rows, &total) || total > kMaxPictureBytes)
    return false;
  *bytes = static_cast<size_t>(total);
  return true;
}
