// LFB, LFF, LCF and LGF pictures decoded through the exports and compared
// with the bitmaps they must give; damaged files and progress stages.
#include <gtest/gtest.h>

#include "tests/fixtures/lf_writer.h"
#include "tests/support/plugin_api.h"
#include "tests/support/progress_calls.h"

namespace {

uint32_t Field32(const Bytes& b, size_t offset) {
  return b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 | static_cast<uint32_t>(b[offset + 3]) << 24;
}
uint16_t BitCount(const Bytes& info) { return static_cast<uint16_t>(info[14] | info[15] << 8); }
Bytes Slice(const Bytes& b, size_t from, size_t count) { return Bytes(b.begin() + from, b.begin() + from + count); }
void Put32(Bytes& b, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// ---- LFB

TEST(Lfb, OrdinaryBitmapsComeOutAsStored) {
  for (int bytes : {3, 4}) {
    for (int width : {3, 4, 5}) {
      const BitmapFile bmp = BitmapOf(NoisePicture(width, 2, bytes, 3u * width + bytes));
      const Bytes file = WriteBitmapFile(bmp);
      const Decoded d = DecodeMemory(WriteLfb(file));
      ASSERT_EQ(d.result, 0);
      EXPECT_EQ(d.info, Slice(file, 14, 54)) << "header and the 14 bytes after it";
      EXPECT_EQ(d.bits, bmp.pixelArea);
    }
  }
  const Decoded small = DecodeMemory(WriteLfb(WriteBitmapFile(BitmapOf(NoisePicture(3, 2, 3, 1)))));
  EXPECT_EQ(small.bits.size(), 24u) << "two rows of 12 bytes";
}

TEST(Lfb, SpareInfoBytesPastTheFileStayZero) {
  // A 1 x 1 bitmap file is 58 bytes: only 44 of the 54 info bytes exist.
  const Bytes file = WriteBitmapFile(BitmapOf(NoisePicture(1, 1, 3, 2)));
  ASSERT_EQ(file.size(), 58u);
  const Decoded d = DecodeMemory(WriteLfb(file));
  ASSERT_EQ(d.result, 0);
  ASSERT_EQ(d.info.size(), 54u);
  EXPECT_EQ(Slice(d.info, 0, 44), Slice(file, 14, 44));
  EXPECT_EQ(Slice(d.info, 44, 10), Bytes(10, 0));
}

TEST(Lfb, ColourTablesComeWithTheHeader) {
  for (int colours : {16, 256}) {
    const BitmapFile bmp = BitmapOf(IndexPicture(5, 3, colours, 4), TestPalette(4), colours);
    const Bytes file = WriteBitmapFile(bmp);
    const Decoded d = DecodeMemory(WriteLfb(file));
    ASSERT_EQ(d.result, 0);
    ASSERT_EQ(d.info.size(), colours == 16 ? 118u : 1078u);
    EXPECT_EQ(d.info, Slice(file, 14, d.info.size()));
    EXPECT_EQ(d.bits, bmp.pixelArea);
  }
}

TEST(Lfb, BitmapsBelowEightBitsKeepTheirWholeColourTable) {
  // 16 entries of 4 bytes after the header, not only the 14 bytes that
  // would fit in a 54-byte block.
  BitmapFile bmp;
  bmp.width = 9;
  bmp.height = 3;
  bmp.bitCount = 4;
  bmp.colourTable = Slice(TestPalette(6), 0, 64);
  bmp.pixelArea = NoisePicture(24, 1, 1, 6).pixels;  // rows of 8 bytes
  const Bytes file = WriteBitmapFile(bmp);
  const Decoded d = DecodeMemory(WriteLfb(file));
  ASSERT_EQ(d.result, 0);
  EXPECT_EQ(d.info, Slice(file, 14, 118));
  EXPECT_EQ(d.bits, bmp.pixelArea);
}

TEST(Lfb, AlphaFormGivesPaletteColourAndAlpha) {
  const Palette palette = TestPalette(8);
  Picture pairs = NoisePicture(7, 5, 2, 8);
  pairs.At(0, 4)[0] = 0x80;  // the bottom-left pixel: first pair in the file
  pairs.At(0, 4)[1] = 5;
  const Bytes file = WriteLfb(WriteBitmapFile(AlphaFormOf(pairs, palette)));
  const Decoded d = DecodeMemory(file);
  ASSERT_EQ(d.result, 0);
  ASSERT_EQ(d.info.size(), 54u);
  EXPECT_EQ(BitCount(d.info), 32);
  EXPECT_EQ(Field32(d.info, 4), 7u);
  EXPECT_EQ(Field32(d.info, 8), 5u);
  EXPECT_EQ(d.bits, ExpectedBits(ThroughAlphaPairs(pairs, palette)));
  EXPECT_EQ(Slice(d.bits, 0, 4), (Bytes{palette[20], palette[21], palette[22], 0x80}));
  const PictureInfo info = InfoOf(file);
  EXPECT_EQ(info.colorDepth, 16);
  EXPECT_EQ(info.width, 7);
  EXPECT_EQ(info.height, 5);
}

TEST(Lfb, AlphaAreaOfOddLengthDropsItsLoneByte) {
  const Palette palette = TestPalette(9);
  const Picture pairs = NoisePicture(4, 3, 2, 9);
  BitmapFile bmp = AlphaFormOf(pairs, palette);
  bmp.pixelArea.push_back(0x77);
  const Decoded d = DecodeMemory(WriteLfb(WriteBitmapFile(bmp)));
  ASSERT_EQ(d.result, 0);
  Bytes expected = ExpectedBits(ThroughAlphaPairs(pairs, palette));
  expected.resize(2 * bmp.pixelArea.size());  // twice the area, the tail zero
  EXPECT_EQ(d.bits, expected);
}

TEST(Lfb, HeadersThatDisagreeWithTheDataAreRejected) {
  const BitmapFile good = BitmapOf(NoisePicture(6, 4, 3, 10));
  const Bytes goodFile = WriteBitmapFile(good);
  ASSERT_EQ(DecodeMemory(WriteLfb(goodFile)).result, 0);

  Bytes offBitsPastEnd = goodFile;
  Put32(offBitsPastEnd, 10, static_cast<uint32_t>(goodFile.size() + 1));
  EXPECT_EQ(DecodeMemory(WriteLfb(offBitsPastEnd)).result, 2);

  Bytes rowsMissing = goodFile;
  Put32(rowsMissing, 10, Field32(goodFile, 10) + 4);  // the area is one pixel short
  EXPECT_EQ(DecodeMemory(WriteLfb(rowsMissing)).result, 2);

  BitmapFile tableTooLong = BitmapOf(IndexPicture(4, 2, 16, 11), TestPalette(11), 16);
  tableTooLong.clrUsed = 300;
  EXPECT_EQ(DecodeMemory(WriteLfb(WriteBitmapFile(tableTooLong))).result, 2);

  EXPECT_EQ(DecodeMemory(WriteLfb(Slice(goodFile, 0, 53))).result, 2) << "shorter than both headers";
}

TEST(Lfb, AlphaFormNeedsItsPairsAndPalette) {
  const Palette palette = TestPalette(12);
  BitmapFile fewerPairs = AlphaFormOf(NoisePicture(6, 4, 2, 12), palette);
  fewerPairs.pixelArea.resize(fewerPairs.pixelArea.size() - 2);
  EXPECT_EQ(DecodeMemory(WriteLfb(WriteBitmapFile(fewerPairs))).result, 2);

  BitmapFile shortPalette = AlphaFormOf(NoisePicture(6, 4, 2, 12), palette);
  shortPalette.colourTable.resize(64);
  EXPECT_EQ(DecodeMemory(WriteLfb(WriteBitmapFile(shortPalette))).result, 2);
}

TEST(Lfb, UnpackedSizeMustMatchTheStream) {
  const Bytes file = WriteLfb(WriteBitmapFile(BitmapOf(NoisePicture(6, 4, 3, 13))));
  for (uint32_t size : {Field32(file, 4) + 1, 0xFFFFFFF0u}) {
    Bytes wrong = file;
    Put32(wrong, 4, size);
    EXPECT_EQ(DecodeMemory(wrong).result, 2) << size;
  }
  EXPECT_EQ(DecodeMemory(Slice(file, 0, file.size() - 1)).result, 2);
  InfoOf(Slice(file, 0, 20), 2);
}

// ---- LFF

TEST(Lff, RowsRoundTripWithTheirPadding) {
  const size_t strides[] = {0, 4, 8, 12, 12, 16, 20};  // by width
  for (int width = 1; width <= 6; ++width) {
    const Picture picture = NoisePicture(width, 3, 3, 20u + width);
    const Decoded d = DecodeMemory(WriteLff(picture));
    ASSERT_EQ(d.result, 0);
    ASSERT_EQ(d.info.size(), 40u);
    EXPECT_EQ(Field32(d.info, 0), 40u);
    EXPECT_EQ(Field32(d.info, 4), static_cast<uint32_t>(width));
    EXPECT_EQ(Field32(d.info, 8), 3u);
    EXPECT_EQ(BitCount(d.info), 24);
    EXPECT_EQ(Field32(d.info, 20), 0u) << "biSizeImage";
    EXPECT_EQ(d.bits, ExpectedBits(picture));
    EXPECT_EQ(d.bits.size(), 3 * strides[width]);
  }
}

TEST(Lff, ShortStreamsAreRejected) {
  const Bytes file = WriteLff(NoisePicture(8, 8, 3, 21));
  EXPECT_EQ(DecodeMemory(Slice(file, 0, file.size() - 1)).result, 2);
  EXPECT_EQ(DecodeMemory(Slice(file, 0, 20)).result, 2);
  EXPECT_EQ(DecodeMemory(Slice(file, 0, 19)).result, 2);
  InfoOf(Slice(file, 0, 15), 2);
}

// ---- LCF

TEST(Lcf, TransparentPixelsAreOneZeroByte) {
  LcfFile lcf{Picture{2, 1, 4, Bytes(8)}};
  const Decoded d = DecodeMemory(WriteLcf(lcf, Bytes{0x00, 0xFF, 0x10, 0x20, 0x30}));
  ASSERT_EQ(d.result, 0);
  EXPECT_EQ(d.bits, (Bytes{0, 0, 0, 0, 0x10, 0x20, 0x30, 0xFF}));
}

TEST(Lcf, PicturesRoundTripWithTheirOffsets) {
  for (const Picture& picture : {SpritePicture(30, 20), GradientPicture(7, 9, 4)}) {
    LcfFile lcf{picture, 12, 345};
    const Bytes file = WriteLcf(lcf);
    const Decoded d = DecodeMemory(file);
    ASSERT_EQ(d.result, 0);
    ASSERT_EQ(d.info.size(), 40u);
    EXPECT_EQ(BitCount(d.info), 32);
    EXPECT_EQ(d.bits, ExpectedBits(WithTransparentCleared(picture)));
    const PictureInfo info = InfoOf(file);
    EXPECT_EQ(info.left, 12);
    EXPECT_EQ(info.top, 345);
    EXPECT_EQ(info.width, picture.width);
    EXPECT_EQ(info.height, picture.height);
    EXPECT_EQ(info.colorDepth, 32);
  }
  const PictureInfo lff = InfoOf(WriteLff(GradientPicture(7, 9, 3)));
  EXPECT_EQ(lff.left, 0);
  EXPECT_EQ(lff.top, 0);
  EXPECT_EQ(lff.colorDepth, 24);
}

TEST(Lcf, OnlyDepthCode24Decodes) {
  LcfFile lcf{SpritePicture(8, 8), 3, 4, 32};
  const Bytes file = WriteLcf(lcf);
  EXPECT_EQ(DecodeMemory(file).result, 2);
  const PictureInfo info = InfoOf(file);
  EXPECT_EQ(info.colorDepth, 32);
  EXPECT_EQ(info.left, 3);
  EXPECT_EQ(info.top, 4);
}

TEST(Lcf, RecordsThatRunOutAreRejected) {
  const LcfFile lcf{Picture{2, 1, 4, Bytes(8)}};
  EXPECT_EQ(DecodeMemory(WriteLcf(lcf, Bytes{0xFF, 0x10, 0x20})).result, 2) << "a colour cut short";
  EXPECT_EQ(DecodeMemory(WriteLcf(lcf, Bytes{0x00})).result, 2) << "fewer bytes than pixels";
  Bytes file = WriteLcf(LcfFile{SpritePicture(16, 16)});
  EXPECT_EQ(DecodeMemory(Slice(file, 0, file.size() - 1)).result, 2) << "stream cut short";
  Put32(file, 20, 0x7FFFFFFF);
  EXPECT_EQ(DecodeMemory(file).result, 2) << "unpacked size beyond the stream";
}

// ---- LGF

TEST(Lgf, IndexedImagesKeepThePaletteWithItsFourthBytes) {
  const LgfFile lgf{IndexPicture(5, 3, 200, 30), TestPalette(30), 8};
  const Decoded d = DecodeMemory(WriteLgf(lgf));
  ASSERT_EQ(d.result, 0);
  ASSERT_EQ(d.info.size(), 1078u);
  EXPECT_EQ(BitCount(d.info), 8);
  EXPECT_EQ(Field32(d.info, 20), 24u) << "biSizeImage: rows of 8 bytes";
  EXPECT_EQ(Slice(d.info, 40, 1024), lgf.palette);
  EXPECT_EQ(d.bits, ExpectedBits(lgf.picture));
}

TEST(Lgf, Code9ExpandsThroughThePaletteAlpha) {
  const LgfFile lgf{IndexPicture(5, 3, 256, 31), TestPalette(31), 9};
  const Bytes file = WriteLgf(lgf);
  EXPECT_EQ(file.size(), 12u + 1024 + 3 * 8) << "index rows of 8 bytes";
  const Decoded d = DecodeMemory(file);
  ASSERT_EQ(d.result, 0);
  ASSERT_EQ(d.info.size(), 54u);
  EXPECT_EQ(BitCount(d.info), 32);
  EXPECT_EQ(d.bits.size(), 3 * 20u);
  EXPECT_EQ(d.bits, ExpectedBits(ThroughPalette(lgf.picture, lgf.palette, 4)));
  EXPECT_EQ(InfoOf(file).colorDepth, 9);
}

TEST(Lgf, DirectPixelsComeOutBottomRowFirst) {
  const Picture rowsAB{2, 2, 3, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
  const Decoded ab = DecodeMemory(WriteLgf(LgfFile{rowsAB}));
  ASSERT_EQ(ab.result, 0);
  EXPECT_EQ(ab.bits, (Bytes{7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
  for (int bytes : {2, 3, 4}) {
    const LgfFile lgf{NoisePicture(7, 4, bytes, 32u + bytes)};
    const Bytes file = WriteLgf(lgf);
    const Decoded d = DecodeMemory(file);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.info.size(), 54u);
    EXPECT_EQ(BitCount(d.info), 8 * bytes);
    EXPECT_EQ(Field32(d.info, 20), d.bits.size());
    EXPECT_EQ(d.bits, ExpectedBits(lgf.picture));
    EXPECT_EQ(InfoOf(file).colorDepth, 8 * bytes);
  }
}

TEST(Lgf, ShortFilesAndOtherDepthCodesAreRejected) {
  for (int code : {8, 9, 24}) {
    const Bytes file = WriteLgf(LgfFile{IndexPicture(6, 5, 16, 33), TestPalette(33), code});
    EXPECT_EQ(DecodeMemory(Slice(file, 0, file.size() - 1)).result, 2) << code;
  }
  for (int code : {0, 1, 4, 12, 40}) {
    EXPECT_EQ(DecodeMemory(WriteLgf(LgfFile{NoisePicture(6, 5, 1, 34), {}, code})).result, 2) << code;
  }
  InfoOf(Bytes{'l', 'g', 'f', 24, 1, 0}, 2);
}

// ---- All four

TEST(LfProgress, TwoStagesEachOfWhichCanStop) {
  const Bytes files[] = {
      WriteLfb(WriteBitmapFile(BitmapOf(GradientPicture(7, 5, 3)))),
      WriteLff(GradientPicture(7, 5, 3)),
      WriteLcf(LcfFile{SpritePicture(8, 8)}),
      WriteLgf(LgfFile{GradientPicture(7, 5, 3)}),
  };
  for (const Bytes& file : files) ExpectStagesThatCanStop(file, 2);
  const Bytes depth32 = WriteLcf(LcfFile{SpritePicture(8, 8), 0, 0, 32});
  Calls refused;
  EXPECT_EQ(DecodeMemory(depth32, Record, reinterpret_cast<SpiLongPtr>(&refused)).result, 2);
  EXPECT_EQ(refused.seen, (std::vector<std::pair<int, int>>{{0, 2}})) << "the depth code is checked after stage 0";
}

TEST(LfFileMode, EachExtensionOpensItsFormat) {
  const Picture picture = GradientPicture(6, 4, 3);
  const std::pair<const char*, Bytes> files[] = {
      {"p.lfb", WriteLfb(WriteBitmapFile(BitmapOf(picture)))},
      {"p.LFF", WriteLff(picture)},
      {"p.lgf", WriteLgf(LgfFile{picture})},
  };
  for (const auto& [name, file] : files) {
    Bytes at128(128, 0xEE);
    Append(at128, file);
    const Decoded d = DecodeFile(WriteTempFile(name, at128), 128);
    ASSERT_EQ(d.result, 0) << name;
    EXPECT_TRUE(d.unlocked);
    EXPECT_EQ(d.bits, ExpectedBits(picture)) << name;
  }
  const LcfFile lcf{SpritePicture(9, 7), 5, 6};
  const Decoded d = DecodeFile(WriteTempFile("p.lcf", WriteLcf(lcf)));
  ASSERT_EQ(d.result, 0);
  EXPECT_EQ(d.bits, ExpectedBits(WithTransparentCleared(lcf.picture)));
  EXPECT_EQ(DecodeFile(WriteTempFile("p.lff.lfb", WriteLff(picture))).result, 2) << "the extension gates the magic";
}

}  // namespace
