// Pixel conversions: every depth and mask layout to 24 bits,
// premultiplication, keying and flattening.
#include "tests/engine/dib_blocks.h"
#include "viewer/engine/foreground_pixels.h"
#include "viewer/engine/pixel_convert.h"

namespace {

// ConvertTo24 of a plug-in result into a buffer pre-filled with 0xCC, so
// that unwritten padding shows.
Bytes To24(const Bytes& info, const Bytes& pixels) {
  const DibPicture picture = PluginPicture(info, pixels);
  const size_t size = Bgr24Of(nullptr, picture.width, picture.height).bytes;
  EXPECT_GT(size, 0u);
  Bytes out(size, 0xCC);
  EXPECT_TRUE(ConvertTo24(picture, out.data()));
  return out;
}

// Premultiply of a copy of the pixels.
Bytes Premultiplied(const Bytes& info, const Bytes& pixels) {
  const DibPicture picture = PluginPicture(info, pixels);
  Bytes out = pixels;
  EXPECT_TRUE(Premultiply(out.data(), picture));
  return out;
}

Bytes Keyed(const Bytes& info, const Bytes& pixels) {
  const DibPicture picture = PluginPicture(info, pixels);
  Bytes out(size_t{4} * picture.width * picture.height, 0xCC);
  EXPECT_TRUE(KeyForeground(picture, out.data()));
  return out;
}

TEST(MaskShift, PutsTheTopBitOnBit7) {
  EXPECT_EQ(MaskShift(0x00FF0000), 16);
  EXPECT_EQ(MaskShift(0x7C00), 7);
  EXPECT_EQ(MaskShift(0x07E0), 3);
  EXPECT_EQ(MaskShift(0x1F), -3);
  EXPECT_EQ(MaskShift(0xFF000000), 24);
  EXPECT_EQ(MaskShift(1), -7);
  EXPECT_EQ(MaskShift(0), 0);
}

TEST(ConvertTo24, ThirtyTwoBitsInEachMaskLayout) {
  const Bytes pixels{1, 2, 3, 4, 5, 6, 7, 8};  // two pixels; alpha 4 and 8 is dropped
  EXPECT_EQ(To24(InfoBlock(2, 1, 32), pixels), (Bytes{1, 2, 3, 5, 6, 7, 0, 0}));
  EXPECT_EQ(To24(InfoBlock(2, 1, 32, kBiBitfields, {0xFF0000, 0xFF00, 0xFF}), pixels), (Bytes{1, 2, 3, 5, 6, 7, 0, 0}));
  // Red in byte 0, blue in byte 2.
  EXPECT_EQ(To24(InfoBlock(2, 1, 32, kBiBitfields, {0xFF, 0xFF00, 0xFF0000}), pixels), (Bytes{3, 2, 1, 7, 6, 5, 0, 0}));
  // 10 bits a channel: the top 8 of each.
  const uint32_t v = (0x3FFu << 20) | (0x200u << 10) | 0x0FFu;
  const Bytes deep{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                   static_cast<uint8_t>(v >> 24)};
  EXPECT_EQ(To24(InfoBlock(1, 1, 32, kBiBitfields, {0x3FF00000, 0x000FFC00, 0x3FF}), deep),
            (Bytes{0x3F, 0x80, 0xFF, 0}));
}

TEST(ConvertTo24, SixteenBitsInEachMaskLayout) {
  // Three pixels a row: 6 bytes of input padded to 8.
  const Bytes rgb555{0x1F, 0x00, 0xE0, 0x03, 0xFF, 0x7F, 0xAA, 0xAA};
  EXPECT_EQ(To24(InfoBlock(3, 1, 16), rgb555), (Bytes{0xF8, 0, 0, 0, 0xF8, 0, 0xF8, 0xF8, 0xF8, 0, 0, 0}));
  const Bytes rgb565{0x1F, 0x00, 0xE0, 0x07, 0x00, 0xF8, 0, 0};
  EXPECT_EQ(To24(InfoBlock(3, 1, 16, kBiBitfields, {0xF800, 0x07E0, 0x001F}), rgb565),
            (Bytes{0xF8, 0, 0, 0, 0xFC, 0, 0, 0, 0xF8, 0, 0, 0}));
  // Any other masks: 4 bits a channel, each moved to the top of its byte.
  const Bytes rgb444{0x5F, 0x0A, 0, 0};
  EXPECT_EQ(To24(InfoBlock(1, 1, 16, kBiBitfields, {0x0F00, 0x00F0, 0x000F}), rgb444), (Bytes{0xF0, 0x50, 0xA0, 0}));
}

// Rows long enough for the eight-pixel steps, with their tails, in both
// fixed layouts: each channel in the top bits of its byte.
TEST(ConvertTo24, WideSixteenBitRows) {
  constexpr int32_t kWidth = 19;  // two steps and three pixels; rows of 38 bytes padded to 40
  Bytes rows(80);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i * 97 + 13);
  const Bytes out555 = To24(InfoBlock(kWidth, 2, 16), rows);
  const Bytes out565 = To24(InfoBlock(kWidth, 2, 16, kBiBitfields, {0xF800, 0x07E0, 0x001F}), rows);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const unsigned v = rows[40 * y + 2 * x] | rows[40 * y + 2 * x + 1] << 8;
      const uint8_t* p555 = &out555[60 * y + 3 * x];
      const uint8_t* p565 = &out565[60 * y + 3 * x];
      EXPECT_EQ(Bytes(p555, p555 + 3),
                (Bytes{static_cast<uint8_t>((v & 0x1F) << 3), static_cast<uint8_t>((v & 0x3E0) >> 2),
                       static_cast<uint8_t>((v & 0x7C00) >> 7)}))
          << x << "," << y;
      EXPECT_EQ(Bytes(p565, p565 + 3),
                (Bytes{static_cast<uint8_t>((v & 0x1F) << 3), static_cast<uint8_t>((v & 0x7E0) >> 3),
                       static_cast<uint8_t>((v & 0xF800) >> 8)}))
          << x << "," << y;
    }
    EXPECT_EQ(out555[60 * y + 57], 0);
  }
}

TEST(ConvertTo24, TwentyFourBitsAreCopied) {
  const Bytes rows{1, 2, 3, 0, 4, 5, 6, 0};
  EXPECT_EQ(To24(InfoBlock(1, 2, 24), rows), rows);
}

TEST(ConvertTo24, IndexedThroughTheColourTable) {
  // Entries as 0x00RRGGBB: the output bytes are blue, green, red.
  const Bytes info8 = InfoBlock(3, 1, 8, kBiRgb, {0x000000, 0x030201, 0x060504});
  EXPECT_EQ(To24(info8, Bytes{2, 1, 0, 0}), (Bytes{4, 5, 6, 1, 2, 3, 0, 0, 0, 0, 0, 0}));

  // 9 pixels of 4 bits: 8 bytes a row, high nibble first.
  const Bytes info4 = InfoBlock(9, 1, 4, kBiRgb, {0, 0x010101, 0x020202});
  const Bytes nibbles{0x12, 0x01, 0x20, 0x10, 0x21, 0xEE, 0xEE, 0xEE};
  const Bytes out4 = To24(info4, nibbles);
  ASSERT_EQ(out4.size(), 28u);
  const uint8_t expected4[] = {1, 2, 0, 1, 2, 0, 1, 0, 2};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(out4[3 * x], expected4[x]) << "pixel " << x;
  EXPECT_EQ(out4[27], 0);

  // 33 pixels of 1 bit: 8 bytes a row, most significant bit first.
  const Bytes info1 = InfoBlock(33, 1, 1, kBiRgb, {0x000000, 0xFFFFFF});
  const Bytes bits{0x80, 0x00, 0x00, 0x01, 0x80, 0xFF, 0xFF, 0xFF};
  const Bytes out1 = To24(info1, bits);
  ASSERT_EQ(out1.size(), 100u);
  for (int x = 0; x < 33; ++x) {
    const bool set = x == 0 || x == 31 || x == 32;
    EXPECT_EQ(out1[3 * x], set ? 0xFF : 0) << "pixel " << x;
  }
  EXPECT_EQ(out1[99], 0);
}

// Each entry is written as a 4-byte word whose last byte the next pixel
// overwrites: wide rows through a full table whose entries all differ, and
// nothing written into the row padding.
TEST(ConvertTo24, WideEightBitRows) {
  constexpr int32_t kWidth = 21;  // rows of 21 bytes padded to 24
  std::vector<uint32_t> table(256);
  for (uint32_t i = 0; i < 256; ++i) table[i] = (i * 0x010307u + 0x203040u) & 0xFFFFFFu;
  Bytes rows(48);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i * 113 + 7);
  Bytes info = InfoBlock(kWidth, 2, 8);
  for (uint32_t entry : table) PutWord(info, entry);
  const Bytes out = To24(info, rows);
  ASSERT_EQ(out.size(), 128u);  // rows of 63 bytes padded to 64
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const uint32_t colour = table[rows[24 * y + x]];
      const uint8_t* p = &out[64 * y + 3 * x];
      EXPECT_EQ(Bytes(p, p + 3), (Bytes{static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                                        static_cast<uint8_t>(colour >> 16)}))
          << x << "," << y;
    }
    EXPECT_EQ(out[64 * y + 63], 0);
  }
}

TEST(ConvertTo24, IndicesPastAShortTableAreBlack) {
  const Bytes info = InfoBlock(2, 1, 8, kBiRgb, {0x000000, 0x102030});
  EXPECT_EQ(To24(info, Bytes{1, 200, 0, 0}), (Bytes{0x30, 0x20, 0x10, 0, 0, 0, 0, 0}));
}

TEST(ConvertTo24, OtherDepthsFail) {
  const Bytes info = InfoBlock(4, 1, 8), pixels(4);
  DibPicture p = PluginPicture(info, pixels);
  p.header.biBitCount = 2;
  uint8_t out[4] = {0xCC, 0xCC, 0xCC, 0xCC};
  EXPECT_FALSE(ConvertTo24(p, out));
  EXPECT_EQ(out[0], 0xCC);
}

TEST(Premultiply, ScalesByAlphaPlusOneOverTwoFiftySix) {
  const Bytes pixels{200, 200, 200, 128, 200, 100, 50, 255, 255, 255, 255, 0};
  EXPECT_EQ(Premultiplied(InfoBlock(3, 1, 32), pixels), (Bytes{100, 100, 100, 128, 200, 100, 50, 255, 0, 0, 0, 0}));
}

TEST(Premultiply, RedFirstLayoutComesOutBlueFirst) {
  const Bytes pixels{10, 20, 30, 255};  // red 10, green 20, blue 30
  const Bytes info = InfoBlock(1, 1, 32, kBiBitfields, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, 56);
  EXPECT_EQ(Premultiplied(info, pixels), (Bytes{30, 20, 10, 255}));
}

// Alpha in the low byte, then blue, green, red: the alpha taken through its
// mask lands in byte 3, where the blend reads it.
TEST(Premultiply, OtherMasksStoreTheirAlphaInByteThree) {
  const Bytes pixels{127, 200, 100, 50};
  const Bytes info = InfoBlock(1, 1, 32, kBiBitfields, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}, 56);
  EXPECT_EQ(Premultiplied(info, pixels), (Bytes{100, 50, 25, 127}));
}

TEST(Premultiply, RefusesOtherDepths) {
  Bytes pixels{1, 2, 3, 0};
  const Bytes info = InfoBlock(1, 1, 24);
  EXPECT_FALSE(Premultiply(pixels.data(), PluginPicture(info, pixels)));
  EXPECT_EQ(pixels, (Bytes{1, 2, 3, 0}));
}

TEST(KeyForeground, TwentyFourBitsKeyOnTheFirstStoredPixel) {
  // Bottom-left white; the top row holds white, near-white and red.
  const Bytes rows{255, 255, 255, 1,   2,   3,   0, 0, 0,   0, 0, 0,  // bottom row, padded to 12
                   255, 255, 255, 255, 255, 254, 0, 0, 255, 0, 0, 0};
  EXPECT_EQ(Keyed(InfoBlock(3, 2, 24), rows), (Bytes{0, 0, 0, 0, 1,   2,   3,   255, 0, 0, 0,   255,  //
                                                     0, 0, 0, 0, 255, 255, 254, 255, 0, 0, 255, 255}));
}

// Rows long enough for the eight-pixel steps, with their tails: every third
// pixel has the key colour, and one differs from it in a single byte.
TEST(KeyForeground, WideRowsKeyExactly) {
  for (int32_t width : {11, 19, 37}) {
    const size_t stride = (size_t{3} * width + 3) / 4 * 4;
    Bytes rows(stride * 2);
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        uint8_t* p = &rows[y * stride + size_t{3} * x];
        const bool key = (x + y) % 3 == 0;
        p[0] = key ? 10 : static_cast<uint8_t>(x);
        p[1] = key ? 20 : static_cast<uint8_t>(y);
        p[2] = key ? 30 : 40;
      }
    }
    rows[stride + 3 * 5 + 2] = 31;  // row 1, pixel 5: next to the key colour
    const Bytes out = Keyed(InfoBlock(width, 2, 24), rows);
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const uint8_t* in = &rows[y * stride + size_t{3} * x];
        const uint8_t* o = &out[(static_cast<size_t>(y) * width + x) * 4];
        const bool keyed = in[0] == 10 && in[1] == 20 && in[2] == 30;
        const Bytes expected = keyed ? Bytes{0, 0, 0, 0} : Bytes{in[0], in[1], in[2], 255};
        ASSERT_EQ(Bytes(o, o + 4), expected) << "width " << width << ", pixel " << x << "," << y;
      }
    }
  }
}

TEST(KeyForeground, IndexZeroIsTransparentAtEveryDepth) {
  // Entry 2 has the colour of entry 0 and stays opaque.
  const Bytes eight = Keyed(InfoBlock(3, 1, 8, kBiRgb, {0x102030, 0x405060, 0x102030}), Bytes{0, 1, 2, 0});
  EXPECT_EQ(eight, (Bytes{0, 0, 0, 0, 0x60, 0x50, 0x40, 255, 0x30, 0x20, 0x10, 255}));

  const Bytes four = Keyed(InfoBlock(3, 1, 4, kBiRgb, {0, 0x010101, 0x020202}), Bytes{0x10, 0x20, 0, 0});
  EXPECT_EQ(four, (Bytes{1, 1, 1, 255, 0, 0, 0, 0, 2, 2, 2, 255}));

  const Bytes one = Keyed(InfoBlock(3, 1, 1, kBiRgb, {0xFFFFFF, 0x0000FF}), Bytes{0xA0, 0, 0, 0});
  EXPECT_EQ(one, (Bytes{255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}));
}

TEST(KeyForeground, OutputIsBottomUp) {
  const Bytes topDown{0, 0, 0, 0, 1, 1, 1, 0};  // key row on top
  EXPECT_EQ(Keyed(InfoBlock(1, -2, 24), topDown), (Bytes{1, 1, 1, 255, 0, 0, 0, 0}));
}

TEST(KeyForeground, SixteenAndThirtyTwoBitsHaveNoKey) {
  uint8_t out[8] = {};
  const Bytes info16 = InfoBlock(2, 1, 16), info32 = InfoBlock(2, 1, 32), pixels(8);
  EXPECT_FALSE(KeyForeground(PluginPicture(info16, pixels), out));
  EXPECT_FALSE(KeyForeground(PluginPicture(info32, pixels), out));
}

TEST(Flatten, DropsAlphaAndPadsRows) {
  const Bytes foreground{100, 100, 100, 128, 0, 0, 0, 0,  //
                         1,   2,   3,   255, 4, 5, 6, 255};
  Bytes out(16, 0xCC);
  Flatten(Bgra32Of(foreground.data(), 2, 2), out.data());
  EXPECT_EQ(out, (Bytes{100, 100, 100, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
}

}  // namespace
