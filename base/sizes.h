// Checked size arithmetic and the one picture size cap that every program
// here holds pictures to.
#pragma once

#include <cstddef>
#include <cstdint>

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

// The longest file a picture the programs hold can come from: rows at the
// cap, with room to spare for headers, colour tables and a prefix before
// the picture. A longer file is refused before it is read.
inline constexpr uint64_t kMaxPictureFileBytes = kMaxPictureBytes + (uint64_t{1} << 20);
