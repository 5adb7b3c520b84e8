#include <gtest/gtest.h>

#include "plugin/framework/lzss.h"
#include "tests/fixtures/lzss_writer.h"

namespace {

Bytes Expand(size_t (*expander)(uint8_t*, ByteSpan, size_t), const Bytes& stream, size_t size) {
  Bytes out(size, 0xCC);
  out.resize(expander(out.data(), ByteSpan{stream.data(), stream.size()}, size));
  return out;
}

TEST(Lzss, LiteralFlagsCopyBytes) {
  const Bytes eight = {1, 2, 3, 4, 5, 6, 7, 8};
  Bytes plain = {0xFF};
  Append(plain, eight);
  EXPECT_EQ(Expand(ExpandLzss, plain, 8), eight);
  Bytes inverted = {0x00};
  for (uint8_t b : eight) inverted.push_back(static_cast<uint8_t>(~b));
  EXPECT_EQ(Expand(ExpandLzssInverted, inverted, 8), eight);
}

TEST(Lzss, ReferencesReadTheInitialRing) {
  EXPECT_EQ(Expand(ExpandLzss, {0x00, 0x00, 0x00}, 3), Bytes(3, 0));
  EXPECT_EQ(Expand(ExpandLzssInverted, {0xFF, 0xFF, 0xFF}, 3), Bytes(3, 0));
}

TEST(Lzss, StopsInsideAReference) {
  // One literal, then a reference of 18 bytes to it that overlaps itself.
  const Bytes plain = {0x01, 'a', 0xEE, 0xFF};
  EXPECT_EQ(Expand(ExpandLzss, plain, 5), Bytes(5, 'a'));
  EXPECT_EQ(Expand(ExpandLzss, plain, 19), Bytes(19, 'a'));
}

TEST(Lzss, ShortSourceGivesShortOutput) {
  EXPECT_EQ(Expand(ExpandLzss, {0xFF, 1, 2}, 8).size(), 2u);
  EXPECT_EQ(Expand(ExpandLzss, {0x00, 0x00}, 8).size(), 0u);
  EXPECT_EQ(Expand(ExpandLzssInverted, {}, 8).size(), 0u);
}

TEST(Lzss, CompressorRoundTrips) {
  Bytes data;
  for (int i = 0; i < 20000; ++i) data.push_back(static_cast<uint8_t>((i % 700) < 350 ? i / 7 : i * 13));
  for (bool inverted : {false, true}) {
    const Bytes stream = CompressLzss(data, inverted);
    EXPECT_LT(stream.size(), data.size());
    EXPECT_EQ(Expand(inverted ? ExpandLzssInverted : ExpandLzss, stream, data.size()), data);
  }
}

}  // namespace
