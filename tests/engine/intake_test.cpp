// Taking in decoded pictures: the header checks, the block-size checks of
// both readers, where masks, colour table and rows are found, and row
// order.
#include "tests/engine/dib_blocks.h"
#include "viewer/engine/pixel_convert.h"

namespace {

TEST(RowArithmetic, PadsToFourBytes) {
  EXPECT_EQ(Bgr24Of(nullptr, 3, 5).stride, 12u);
  EXPECT_EQ(Bgr24Of(nullptr, 3, 5).bytes, 60u);
  EXPECT_EQ(Bgra32Of(nullptr, 3, 5).stride, 12u);
  size_t length = 0;
  ASSERT_TRUE(DibRowBytes(9, 4, &length));
  EXPECT_EQ(length, 8u);
  ASSERT_TRUE(DibRowBytes(33, 1, &length));
  EXPECT_EQ(length, 8u);
}

// Products that wrap a 32-bit size_t must be refused, not wrapped; every
// size stays within the picture size cap of 2 GiB less a byte.
TEST(RowArithmetic, RefusesSizesPast31Bits) {
  size_t length = 0;
  ASSERT_TRUE(DibRowBytes(INT32_MAX, 1, &length));  // width × 1 + 31 passes 2^31
  EXPECT_EQ(length, 0x10000000u);
  EXPECT_FALSE(DibRowBytes(INT32_MAX, 8, &length));  // exactly 2^31 bytes
  EXPECT_FALSE(DibRowBytes(INT32_MAX, 32, &length));
  EXPECT_FALSE(DibRowBytes(0, 8, &length));

  EXPECT_EQ(Bgra32Of(nullptr, 0x4000, 0x7FFF).bytes, 0x7FFF0000u);
  EXPECT_EQ(Bgra32Of(nullptr, 0x4000, 0x8000).bytes, 0u) << "2^31";
  size_t size = 0;
  EXPECT_FALSE(DibPictureBytes(0x10000, 0x10000, 8, &size));  // 2^32, 0 when wrapped
  EXPECT_FALSE(DibPictureBytes(0x10000, 0x10001, 8, &size));  // 2^32 + 2^16 wraps to a small size
  EXPECT_FALSE(DibPictureBytes(4, 0, 8, &size));
  EXPECT_EQ(Bgr24Of(nullptr, 4, -1).bytes, 0u);
  EXPECT_EQ(Bgr24Of(nullptr, -4, 8).stride, 0u);
}

TEST(HasAlphaChannel, ThirtyTwoBitsWithAnAlphaLayout) {
  EXPECT_TRUE(HasAlphaChannel(MakeBitmapInfoHeader(4, 4, 32)));
  BitmapInfoHeader h = MakeBitmapInfoHeader(4, 4, 32);
  h.biCompression = kBiBitfields;
  EXPECT_FALSE(HasAlphaChannel(h));  // a 40-byte header holds no alpha mask
  h.biSize = 56;
  EXPECT_TRUE(HasAlphaChannel(h));
  EXPECT_FALSE(HasAlphaChannel(MakeBitmapInfoHeader(4, 4, 24)));
  EXPECT_FALSE(HasAlphaChannel(MakeBitmapInfoHeader(4, 4, 8)));
}

TEST(PluginIntake, ThirtyTwoBitsGetTheBgraLayout) {
  const Bytes info = InfoBlock(3, 2, 32);
  const Bytes pixels(24);
  const DibPicture p = PluginPicture(info, pixels);
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(p.height, 2);
  EXPECT_FALSE(p.topDown);
  EXPECT_EQ(p.stride, 12u);
  EXPECT_EQ(p.pixels, pixels.data());
  EXPECT_EQ(p.masks.red, 0x00FF0000u);
  EXPECT_EQ(p.masks.green, 0x0000FF00u);
  EXPECT_EQ(p.masks.blue, 0x000000FFu);
  EXPECT_EQ(p.masks.alpha, 0xFF000000u);
  EXPECT_EQ(p.colourCount, 0u);
}

TEST(PluginIntake, SixteenBitsDefaultTo555) {
  const Bytes info = InfoBlock(3, 1, 16), pixels(8);
  const DibPicture p = PluginPicture(info, pixels);
  EXPECT_EQ(p.stride, 8u);
  EXPECT_EQ(p.masks.red, 0x7C00u);
  EXPECT_EQ(p.masks.green, 0x03E0u);
  EXPECT_EQ(p.masks.blue, 0x001Fu);
  EXPECT_EQ(p.masks.alpha, 0u);
}

TEST(PluginIntake, MasksFollowTheHeader) {
  const Bytes info = InfoBlock(1, 1, 16, kBiBitfields, {0xF800, 0x07E0, 0x001F, 0x1234}), pixels(4);
  const DibPicture p = PluginPicture(info, pixels);
  EXPECT_EQ(p.masks.red, 0xF800u);
  EXPECT_EQ(p.masks.green, 0x07E0u);
  EXPECT_EQ(p.masks.blue, 0x001Fu);
  EXPECT_EQ(p.masks.alpha, 0u) << "a 40-byte header has no alpha mask, whatever follows the three";

  const Bytes v4 = InfoBlock(1, 1, 32, kBiBitfields, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, 108);
  const DibPicture q = PluginPicture(v4, pixels);
  EXPECT_EQ(q.masks.red, 0x000000FFu);
  EXPECT_EQ(q.masks.alpha, 0xFF000000u);
}

TEST(PluginIntake, ColourTableIsWhatTheBlockHolds) {
  // Three entries after the header: the other 253 indices read as black.
  const Bytes info8 = InfoBlock(4, 1, 8, kBiRgb, {0x010203, 0x040506, 0x070809}), pixels(4);
  const DibPicture p = PluginPicture(info8, pixels);
  EXPECT_EQ(p.colourCount, 3u);
  EXPECT_EQ(p.colourTable[0], 0x03);
  // A larger header moves the table; more entries than a 1-bit index can
  // reach are not counted.
  const Bytes info1 = InfoBlock(8, 1, 1, kBiRgb, {0x111111, 0x222222, 0x333333}, 44);
  const DibPicture q = PluginPicture(info1, pixels);
  EXPECT_EQ(q.colourTable, info1.data() + 44);
  EXPECT_EQ(q.colourCount, 2u);
}

// Each malformed or too-short input, as a plug-in's result.
struct Rejected {
  const char* what;
  Bytes info;
  Bytes pixels;
};

Bytes WithField32(Bytes info, size_t offset, uint32_t value) {
  SetField32(info, offset, value);
  return info;
}

TEST(PluginIntake, RefusesWhatItCannotRead) {
  const Bytes ok = InfoBlock(4, 2, 8);
  Bytes shortHeader = ok;
  shortHeader.resize(39);
  const Rejected cases[] = {
      {"info block shorter than a header", shortHeader, Bytes(8)},
      {"biSize below 40", WithField32(ok, 0, 39), Bytes(8)},
      {"biSize past the block", WithField32(ok, 0, 41), Bytes(8)},
      {"width 0", WithField32(ok, 4, 0), Bytes(8)},
      {"negative width", WithField32(ok, 4, static_cast<uint32_t>(-4)), Bytes(8)},
      {"height 0", WithField32(ok, 8, 0), Bytes(8)},
      {"height INT32_MIN", WithField32(ok, 8, 0x80000000u), Bytes(8)},
      {"2 bits", InfoBlock(4, 2, 2), Bytes(8)},
      {"64 bits", InfoBlock(1, 1, 64), Bytes(8)},
      {"0 bits", InfoBlock(4, 2, 0), Bytes(8)},
      {"run-length compressed", InfoBlock(4, 2, 8, 1), Bytes(8)},
      {"masks on an 8-bit picture", InfoBlock(4, 2, 8, kBiBitfields, {1, 2, 3}), Bytes(8)},
      {"masks missing", InfoBlock(1, 1, 32, kBiBitfields, {0xFF0000, 0xFF00}), Bytes(4)},
      {"pixel block a byte short", ok, Bytes(7)},
      {"pixel block a row short", InfoBlock(4, -2, 8), Bytes(4)},
      {"32-bit form past 31 bits", InfoBlock(0x4000, 0x8000, 1), Bytes(8)},
      {"rows wrap a 32-bit size", InfoBlock(0x10000, 0x10001, 8), Bytes(8)},
  };
  for (const Rejected& c : cases) {
    DibPicture p;
    EXPECT_FALSE(ReadPluginPicture(Span(c.info), Span(c.pixels), &p)) << c.what;
  }
}

// A 1-bit picture whose own rows fit is still refused when its 32-bit form
// (what a keyed foreground needs) does not.
TEST(PluginIntake, SizesAllowEveryDerivedBuffer) {
  const Bytes pixels(size_t{64} << 20);
  DibPicture p;
  EXPECT_FALSE(ReadPluginPicture(Span(InfoBlock(0x40000, 0x800, 1)), Span(pixels), &p));
  EXPECT_TRUE(ReadPluginPicture(Span(InfoBlock(0x40000, 0x7FF, 1)), Span(pixels), &p));
}

TEST(PackedIntake, PixelsFollowTheColourTable) {
  // biClrUsed 0 on 8 bits: 256 entries.
  Bytes table;
  for (uint32_t i = 0; i < 256; ++i) PutWord(table, i * 0x010101);
  const Bytes rows{7, 8, 9, 10};
  const Bytes block = Concat(Concat(InfoBlock(4, 1, 8), table), rows);
  DibPicture p;
  ASSERT_TRUE(ReadPackedDib(Span(block), &p));
  EXPECT_EQ(p.pixels, block.data() + 40 + 1024);
  EXPECT_EQ(p.colourTable, block.data() + 40);
  EXPECT_EQ(p.colourCount, 256u);

  // biClrUsed 2: a short table.
  Bytes info = InfoBlock(4, 1, 8, kBiRgb, {0xFF0000, 0x00FF00});
  SetClrUsed(info, 2);
  const Bytes shortTable = Concat(info, rows);
  ASSERT_TRUE(ReadPackedDib(Span(shortTable), &p));
  EXPECT_EQ(p.pixels, shortTable.data() + 48);
  EXPECT_EQ(p.colourCount, 2u);

  // A 24-bit picture may carry an (unused) table too.
  Bytes info24 = InfoBlock(1, 1, 24, kBiRgb, {0, 0, 0});
  SetClrUsed(info24, 3);
  const Bytes withTable = Concat(info24, Bytes(4));
  ASSERT_TRUE(ReadPackedDib(Span(withTable), &p));
  EXPECT_EQ(p.pixels, withTable.data() + 52);
  EXPECT_EQ(p.colourCount, 0u);
}

TEST(PackedIntake, MasksFollowOnlyA40ByteHeader) {
  const Bytes after40 = Concat(InfoBlock(1, 1, 32, kBiBitfields, {0xFF, 0xFF00, 0xFF0000}), Bytes(4));
  DibPicture p;
  ASSERT_TRUE(ReadPackedDib(Span(after40), &p));
  EXPECT_EQ(p.pixels, after40.data() + 52);
  EXPECT_EQ(p.masks.red, 0xFFu);

  const Bytes v3 = InfoBlock(1, 1, 32, kBiBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 56);
  const Bytes inside = Concat(v3, Bytes(4));
  ASSERT_TRUE(ReadPackedDib(Span(inside), &p));
  EXPECT_EQ(p.pixels, inside.data() + 56);
  EXPECT_EQ(p.masks.alpha, 0xFF000000u);
}

TEST(PackedIntake, RefusesWhatItCannotRead) {
  const Bytes rows(4);
  Bytes hugeTable = InfoBlock(4, 1, 8);
  SetClrUsed(hugeTable, 0xFFFFFFFF);
  Bytes tablePastEnd = InfoBlock(4, 1, 8, kBiRgb, {1, 2});
  SetClrUsed(tablePastEnd, 3);
  const Rejected cases[] = {
      {"table of 2^32 - 1 entries", Concat(hugeTable, rows), {}},
      {"table past the end", tablePastEnd, {}},
      {"256-entry table missing", Concat(InfoBlock(4, 1, 8), rows), {}},
      {"masks cut short", InfoBlock(1, 1, 32, kBiBitfields, {0xFF, 0xFF00}), {}},
      {"rows a byte short", InfoBlock(1, 2, 24, kBiRgb, {0}), {}},
      {"header only", InfoBlock(1, 1, 24), {}},
      {"bad header", Concat(InfoBlock(1, 1, 3), rows), {}},
  };
  for (const Rejected& c : cases) {
    DibPicture p;
    EXPECT_FALSE(ReadPackedDib(Span(c.info), &p)) << c.what;
  }
}

// Rows stored top first: a picture 2 wide, 3 high, one grey level a row.
TEST(NegativeHeight, RowsAreReadTopFirstAndFlipped) {
  const Bytes topDown{30, 30, 30, 0, 30, 30, 30, 0,   // top
                      20, 20, 20, 0, 20, 20, 20, 0,   //
                      10, 10, 10, 0, 10, 10, 10, 0};  // bottom
  const Bytes info = InfoBlock(2, -3, 32);
  const DibPicture p = PluginPicture(info, topDown);
  EXPECT_TRUE(p.topDown);
  EXPECT_EQ(p.height, 3);

  Bytes out(24, 0xCC);
  ASSERT_TRUE(ConvertTo24(p, out.data()));
  EXPECT_EQ(out, (Bytes{10, 10, 10, 10, 10, 10, 0, 0, 20, 20, 20, 20, 20, 20, 0, 0, 30, 30, 30, 30, 30, 30, 0, 0}));

  Bytes adopted = topDown;
  FlipRows(adopted.data(), p.stride, p.height);
  EXPECT_EQ(adopted, (Bytes{10, 10, 10, 0, 10, 10, 10, 0, 20, 20, 20, 0, 20, 20, 20, 0, 30, 30, 30, 0, 30, 30, 30, 0}));
  Bytes even{1, 2, 3, 4};
  FlipRows(even.data(), 1, 4);
  EXPECT_EQ(even, (Bytes{4, 3, 2, 1}));
}

TEST(ForegroundHeader, FreshThirtyTwoBitsBottomUp) {
  Bytes info = InfoBlock(4, -2, 8, kBiRgb, {0xFFFFFF});
  SetClrUsed(info, 1);
  SetField32(info, 20, 8);     // biSizeImage of the 8-bit rows
  SetField32(info, 24, 2835);  // 72 dpi
  const Bytes pixels(8);
  const BitmapInfoHeader h = ForegroundHeader(PluginPicture(info, pixels));
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 4);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 32);
  EXPECT_EQ(h.biCompression, kBiRgb);
  EXPECT_EQ(h.biSizeImage, 0u);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biXPelsPerMeter, 2835);

  Bytes v4 = InfoBlock(1, 1, 32, kBiBitfields, {}, 108);
  SetField32(v4, 24, 2835);
  EXPECT_EQ(ForegroundHeader(PluginPicture(v4, pixels)).biXPelsPerMeter, 0);
}

}  // namespace
