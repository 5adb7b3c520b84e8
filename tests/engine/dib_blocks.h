// Blocks of the shapes the viewer takes in, built byte by byte: a plug-in's
// info block (header, then masks or colour table) and a packed DIB.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "viewer/engine/dib.h"

using Bytes = std::vector<uint8_t>;

inline void PutWord(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A header of `headerSize` bytes (zeros past the first 40) and `words`:
// for BI_BITFIELDS the masks from byte 40 on (inside a longer header),
// otherwise colour-table entries as 0x00RRGGBB after the header.
inline Bytes InfoBlock(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = kBiRgb,
                       std::initializer_list<uint32_t> words = {}, uint32_t headerSize = 40) {
  BitmapInfoHeader h = MakeBitmapInfoHeader(width, height, bitCount);
  h.biSize = headerSize;
  h.biCompression = compression;
  Bytes out(sizeof h);
  std::memcpy(out.data(), &h, sizeof h);  // the tests run on little-endian hosts
  if (compression != kBiBitfields) out.resize(headerSize);
  for (uint32_t w : words) PutWord(out, w);
  if (out.size() < headerSize) out.resize(headerSize);
  return out;
}

inline void SetField32(Bytes& info, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) info[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
inline void SetClrUsed(Bytes& info, uint32_t count) { SetField32(info, 32, count); }

inline Bytes Concat(const Bytes& a, const Bytes& b) {
  Bytes out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

inline ByteSpan Span(const Bytes& b) { return ByteSpan{b.data(), b.size()}; }

// A plug-in result that must pass the intake. The picture points into both
// blocks, so they must outlive it: temporaries are refused.
inline DibPicture PluginPicture(const Bytes& info, const Bytes& pixels) {
  DibPicture picture;
  EXPECT_TRUE(ReadPluginPicture(Span(info), Span(pixels), &picture));
  return picture;
}
void PluginPicture(Bytes&&, const Bytes&) = delete;
void PluginPicture(const Bytes&, Bytes&&) = delete;
void PluginPicture(Bytes&&, Bytes&&) = delete;
