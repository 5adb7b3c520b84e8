#include "plugin/framework/lzss.h"

namespace {

constexpr unsigned kRingSize = 4096;
constexpr unsigned kRingMask = kRingSize - 1;
constexpr unsigned kRingStart = 0xFEE;

struct PlainLzss {
  static uint8_t Byte(uint8_t stored) { return stored; }
  static bool IsLiteral(unsigned flags, unsigned bit) { return (flags >> bit) & 1; }
  static void Reference(uint8_t b0, uint8_t b1, unsigned* position, unsigned* count) {
    *position = b0 | ((b1 & 0xF0u) << 4);
    *count = (b1 & 0x0Fu) + 3;
  }
};

struct InvertedLzss {
  static uint8_t Byte(uint8_t stored) { return static_cast<uint8_t>(~stored); }
  static bool IsLiteral(unsigned flags, unsigned bit) { return (flags << bit) & 0x80; }
  static void Reference(uint8_t b0, uint8_t b1, unsigned* position, unsigned* count) {
    unsigned word = b0 | (b1 << 8);
    *position = word >> 4;
    *count = (word & 0x0Fu) + 3;
  }
};

template <class Format>
size_t Expand(uint8_t* out, ByteSpan source, size_t outputSize) {
  uint8_t ring[kRingSize] = {};
  unsigned r = kRingStart;
  const uint8_t* in = source.data;
  const uint8_t* const end = source.data + source.size;
  size_t written = 0;
  while (written < outputSize && in < end) {
    const unsigned flags = Format::Byte(*in++);
    for (unsigned bit = 0; bit < 8 && written < outputSize; ++bit) {
      if (Format::IsLiteral(flags, bit)) {
        if (in == end) return written;
        const uint8_t b = Format::Byte(*in++);
        out[written++] = b;
        ring[r] = b;
        r = (r + 1) & kRingMask;
        continue;
      }
      if (end - in < 2) return written;
      unsigned position, count;
      Format::Reference(Format::Byte(in[0]), Format::Byte(in[1]), &position, &count);
      in += 2;
      if (count > outputSize - written) count = static_cast<unsigned>(outputSize - written);
      // Byte by byte through the ring: a reference may overlap what it writes.
      for (unsigned i = 0; i < count; ++i) {
        const uint8_t b = ring[(position + i) & kRingMask];
        out[written++] = b;
        ring[r] = b;
        r = (r + 1) & kRingMask;
      }
    }
  }
  return written;
}

}  // namespace

size_t ExpandLzss(uint8_t* destination, ByteSpan source, size_t outputSize) {
  return Expand<PlainLzss>(destination, source, outputSize);
}

size_t ExpandLzssInverted(uint8_t* destination, ByteSpan source, size_t outputSize) {
  return Expand<InvertedLzss>(destination, source, outputSize);
}
