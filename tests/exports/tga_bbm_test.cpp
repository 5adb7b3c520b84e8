// TGA and BBM pictures decoded through GetPicture and compared with the
// bitmaps they must give.
#include <gtest/gtest.h>

#include "tests/fixtures/tga_writer.h"
#include "tests/support/plugin_api.h"

namespace {

uint32_t HeaderField(const Bytes& info, size_t offset) {
  return info[offset] | info[offset + 1] << 8 | info[offset + 2] << 16 | static_cast<uint32_t>(info[offset + 3]) << 24;
}
uint16_t BitCount(const Bytes& info) { return static_cast<uint16_t>(info[14] | info[15] << 8); }

TEST(Tga, TrueColourInEveryDepthAndRowOrder) {
  for (int bytes : {2, 3, 4}) {
    for (int width : {3, 4, 9}) {
      for (bool top : {false, true}) {
        TgaFile tga{NoisePicture(width, 6, bytes, 11u * width + bytes)};
        tga.topRowFirst = top;
        const Decoded d = DecodeMemory(WriteTga(tga));
        ASSERT_EQ(d.result, 0);
        EXPECT_EQ(d.info.size(), 54u);
        EXPECT_EQ(BitCount(d.info), 8 * bytes);
        EXPECT_EQ(HeaderField(d.info, 20), bytes == 2 ? d.bits.size() : 0u) << "biSizeImage below 24 bits only";
        EXPECT_EQ(d.bits, ExpectedBits(tga.picture)) << bytes << " " << width << " " << top;
      }
    }
  }
}

TEST(Tga, DepthByteZeroMeansThirtyTwo) {
  TgaFile tga{NoisePicture(5, 3, 4, 7)};
  tga.depthByte = 0;
  const Decoded d = DecodeMemory(WriteTga(tga));
  ASSERT_EQ(d.result, 0);
  EXPECT_EQ(BitCount(d.info), 32);
  EXPECT_EQ(d.bits, ExpectedBits(tga.picture));
}

TEST(Tga, ColourMappedWithAPaletteOf24Bits) {
  for (int colours : {256, 16}) {
    TgaFile tga{IndexPicture(5, 4, colours, 3), TestPalette(9), colours, 24};
    const Decoded d = DecodeMemory(WriteTga(tga));
    ASSERT_EQ(d.result, 0);
    ASSERT_EQ(d.info.size(), 1078u);
    EXPECT_EQ(BitCount(d.info), 8);
    EXPECT_EQ(HeaderField(d.info, 32), colours == 256 ? 0u : 16u) << "biClrUsed";
    for (int i = 0; i < colours; ++i) {
      EXPECT_EQ(Bytes(d.info.begin() + 40 + 4 * i, d.info.begin() + 43 + 4 * i),
                Bytes(tga.palette.begin() + 4 * i, tga.palette.begin() + 4 * i + 3));
      EXPECT_EQ(d.info[43 + 4 * i], 0);
    }
    EXPECT_EQ(d.bits, ExpectedBits(tga.picture));
  }
}

TEST(Tga, ColourMapOf32BitsExpandsToAlpha) {
  for (bool top : {false, true}) {
    TgaFile tga{IndexPicture(6, 3, 40, 5), TestPalette(2), 40, 32};
    tga.topRowFirst = top;
    const Bytes file = WriteTga(tga);
    const Decoded d = DecodeMemory(file);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.info.size(), 54u);
    EXPECT_EQ(BitCount(d.info), 32);
    EXPECT_EQ(HeaderField(d.info, 20), 0u);
    EXPECT_EQ(d.bits, ExpectedBits(ThroughPalette(tga.picture, tga.palette, 4)));
    EXPECT_EQ(InfoOf(file).colorDepth, 8);
  }
}

TEST(Tga, DamagedFilesAreRejected) {
  TgaFile tga{IndexPicture(5, 4, 16, 3), TestPalette(9), 300, 24};
  EXPECT_EQ(DecodeMemory(WriteTga(tga)).result, 2) << "a colour table holds 256 entries";
  Bytes truncated = WriteTga(TgaFile{NoisePicture(8, 8, 3, 1)});
  truncated.pop_back();
  EXPECT_EQ(DecodeMemory(truncated).result, 2);
  truncated.resize(10);
  EXPECT_EQ(DecodeMemory(truncated).result, 2);
}

BbmFile Bbm(int across, int down, int entryBits, bool top) {
  BbmFile bbm;
  bbm.tileWidth = 16;
  bbm.tileHeight = 8;
  bbm.indices = IndexPicture(16 * across, 8 * down, 200, 17);
  bbm.palette = TestPalette(4);
  bbm.colours = 200;
  bbm.entryBits = entryBits;
  bbm.topRowFirst = top;
  bbm.recordPadding = 6;
  return bbm;
}

TEST(Bbm, TilesAreAssembledInGridOrder) {
  for (int entryBits : {24, 32}) {
    for (bool top : {false, true}) {
      const BbmFile bbm = Bbm(2, 3, entryBits, top);
      const Bytes file = WriteBbm(bbm);
      const Decoded d = DecodeMemory(file);
      ASSERT_EQ(d.result, 0);
      EXPECT_EQ(d.info.size(), 54u);
      EXPECT_EQ(HeaderField(d.info, 4), 32u);
      EXPECT_EQ(HeaderField(d.info, 8), 24u);
      EXPECT_EQ(BitCount(d.info), entryBits);
      EXPECT_EQ(d.bits, ExpectedBits(ThroughPalette(bbm.indices, bbm.palette, entryBits / 8)));
      const PictureInfo info = InfoOf(file);
      EXPECT_EQ(info.width, 32);
      EXPECT_EQ(info.height, 24);
      EXPECT_EQ(info.colorDepth, 8);
    }
  }
}

TEST(Bbm, FirstTileMustHoldEightBitIndices) {
  Bytes file = WriteBbm(Bbm(1, 1, 32, false));
  file[32] = 24;
  EXPECT_EQ(DecodeMemory(file).result, 2);
  EXPECT_EQ(InfoOf(file).colorDepth, 24);
}

TEST(Bbm, OversizedTilesAreClippedToTheirCell) {
  BbmFile bbm = Bbm(2, 1, 32, false);
  Bytes file = WriteBbm(bbm);
  // Claim a 20 x 12 tile in the first record of a 16 x 8 grid: the extra
  // rows and columns are dropped, the neighbour cell keeps its own pixels.
  file[16 + 12] = 20;
  file[16 + 14] = 12;
  const Decoded d = DecodeMemory(file);
  ASSERT_EQ(d.result, 0);
  const Bytes expected = ExpectedBits(ThroughPalette(bbm.indices, bbm.palette, 4));
  const size_t stride = 32 * 4;
  for (size_t row = 0; row < 8; ++row) {
    EXPECT_TRUE(std::equal(d.bits.begin() + row * stride + 64, d.bits.begin() + (row + 1) * stride,
                           expected.begin() + row * stride + 64))
        << "second cell, row " << row;
  }
}

TEST(Bbm, RecordsPastTheEndAreRejected) {
  Bytes file = WriteBbm(Bbm(2, 2, 24, false));
  file.resize(file.size() - 30);
  EXPECT_EQ(DecodeMemory(file).result, 2);
}

}  // namespace
