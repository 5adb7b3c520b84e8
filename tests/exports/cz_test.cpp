// CZ1 and CZ2 pictures decoded through GetPicture and compared with the
// bitmaps they must give.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fixtures/cz_writer.h"
#include "tests/fixtures/lzss_writer.h"
#include "tests/support/plugin_api.h"

namespace {

uint32_t HeaderField(const Bytes& info, size_t offset) {
  return info[offset] | info[offset + 1] << 8 | info[offset + 2] << 16 | static_cast<uint32_t>(info[offset + 3]) << 24;
}
uint16_t BitCount(const Bytes& info) { return static_cast<uint16_t>(info[14] | info[15] << 8); }

// A decode that succeeded with the 54-byte info block of a bitmap of the
// picture's size and depth, and its rows.
void ExpectPicture(const Decoded& d, const Picture& picture) {
  ASSERT_EQ(d.result, 0);
  ASSERT_EQ(d.info.size(), 54u);
  EXPECT_EQ(HeaderField(d.info, 4), static_cast<uint32_t>(picture.width));
  EXPECT_EQ(HeaderField(d.info, 8), static_cast<uint32_t>(picture.height));
  EXPECT_EQ(BitCount(d.info), 8 * picture.bytesPerPixel);
  EXPECT_EQ(d.bits, ExpectedBits(picture));
}

// A file cut anywhere gives 2: the data end before the header, the strip
// table, a row or a stream is complete.
void ExpectEveryCutRejected(const Bytes& file) {
  for (size_t length = 0; length < file.size(); ++length) {
    const Decoded d = DecodeMemory(Bytes(file.begin(), file.begin() + length));
    EXPECT_EQ(d.result, 2) << "cut at " << length;
    EXPECT_FALSE(d.handed);
  }
}

// CZ1 -----------------------------------------------------------------------

TEST(Cz1, EveryRowModeInBothDepths) {
  for (int bytes : {3, 4}) {
    for (int width : {1, 3, 4, 7}) {
      for (std::vector<int> modes : {std::vector<int>{0}, {1}, {2}, {3}, {0, 3, 2, 1}, {3, 0, 3}}) {
        const Picture picture = NoisePicture(width, 6, bytes, 7u * width + bytes);
        const Decoded d = DecodeMemory(WriteCz1(picture, modes));
        ExpectPicture(d, picture);
        EXPECT_EQ(HeaderField(d.info, 20), 0u) << "biSizeImage";
        EXPECT_TRUE(std::all_of(d.info.begin() + 40, d.info.end(), [](uint8_t b) { return b == 0; }));
      }
    }
  }
}

TEST(Cz1, StripsStackFromTheTopAndNarrowOnesLeaveZeros) {
  const Picture wide = NoisePicture(100, 10, 4, 1), narrow = NoisePicture(80, 20, 4, 2);
  const Bytes file = AssembleCz1({Cz1Strip(wide), Cz1Strip(narrow)});
  ExpectPicture(DecodeMemory(file), StackStrips({wide, narrow}, 4));
  const PictureInfo info = InfoOf(file);
  EXPECT_EQ(info.width, 100) << "the first strip's size only";
  EXPECT_EQ(info.height, 10);
  EXPECT_EQ(info.colorDepth, 32);
  EXPECT_EQ(info.left, 0);
  EXPECT_EQ(info.top, 0);
}

TEST(Cz1, FiltersRunAlongTheRowAndAgainstTheRowAbove) {
  // One pixel of blue, green, red: stored 10, 3, 250 along the row gives
  // 10, 7, 13; then 1, 2, 3 against it gives 9, 5, 10.
  CzStoredStrip strip{1, 2, 3, Cz1StoredRow(kCz1AlongRow, {10, 3, 250})};
  Append(strip.data, Cz1StoredRow(kCz1AgainstRowAbove, {1, 2, 3}));
  ExpectPicture(DecodeMemory(AssembleCz1({strip})), Picture{1, 2, 3, {10, 7, 13, 9, 5, 10}});

  // Along the row the chain crosses the planes: the first green byte
  // follows from the last blue one. Against the row above, a strip's first
  // row is taken against zeros.
  CzStoredStrip planes{2, 2, 3, Cz1StoredRow(kCz1AlongRow, {10, 1, 2, 3, 4, 5})};
  Append(planes.data, Cz1StoredRow(kCz1AgainstRowAbove, {1, 2, 3, 4, 5, 6}));
  CzStoredStrip first{1, 1, 3, Cz1StoredRow(kCz1AgainstRowAbove, {1, 2, 3})};
  ExpectPicture(DecodeMemory(AssembleCz1({planes, first})),
                Picture{2, 3, 3, {10, 7, 0, 9, 4, 251, 9, 4, 251, 7, 0, 245, 255, 254, 253, 0, 0, 0}});
}

TEST(Cz1, RowAboveIsTheDecodedRowWhateverItsMode) {
  // A raw row, then the same bytes against it: the second row is zeros.
  CzStoredStrip strip{2, 2, 4, Cz1StoredRow(kCz1Raw, {1, 2, 3, 4, 5, 6, 7, 8})};
  Append(strip.data, Cz1StoredRow(kCz1AgainstRowAbove, {1, 2, 3, 4, 5, 6, 7, 8}));
  ExpectPicture(DecodeMemory(AssembleCz1({strip})), Picture{2, 2, 4, {1, 3, 5, 7, 2, 4, 6, 8, 0, 0, 0, 0, 0, 0, 0, 0}});
}

TEST(Cz1, NextStripBeginsAtTheRecordedLength) {
  const Picture top = NoisePicture(5, 3, 4, 3), bottom = NoisePicture(5, 2, 4, 4);
  CzStoredStrip first = Cz1Strip(top);
  first.spareBytes = 9;
  ExpectPicture(DecodeMemory(AssembleCz1({first, Cz1Strip(bottom)})), StackStrips({top, bottom}, 4));
}

TEST(Cz1, StripsOfTheOtherDepthFitThePicture) {
  // A 24-bit strip in a 32-bit picture is opaque; a 32-bit strip in a
  // 24-bit picture gives its colour bytes.
  const Picture three = NoisePicture(6, 3, 3, 5), four = NoisePicture(7, 2, 4, 6);
  ExpectPicture(DecodeMemory(AssembleCz1({Cz1Strip(four), Cz1Strip(three)})), StackStrips({four, three}, 4));
  ExpectPicture(DecodeMemory(AssembleCz1({Cz1Strip(three), Cz1Strip(four)})), StackStrips({three, four}, 3));
}

TEST(Cz1, RowsThatDoNotExpandToTheirLengthAreBroken) {
  for (size_t stored : {5u, 7u}) {
    CzStoredStrip strip{2, 1, 3, Cz1StoredRow(kCz1Deflated, Bytes(stored, 9))};
    EXPECT_EQ(DecodeMemory(AssembleCz1({strip})).result, 3) << stored << " bytes for 6";
  }
  Bytes file = WriteCz1(NoisePicture(4, 2, 3, 1), {1});
  file[8 + 16 + 3 + 2] ^= 0xFF;  // inside the first row's zlib stream
  EXPECT_EQ(DecodeMemory(file).result, 3);
}

TEST(Cz1, UnknownModesAndDepthsAreUnsupported) {
  Bytes file = WriteCz1(NoisePicture(4, 2, 3, 1), {0});
  file[8 + 16] = 4;
  EXPECT_EQ(DecodeMemory(file).result, 2) << "mode 4";
  for (uint32_t depth : {0u, 2u, 5u, 32u}) {
    Bytes first = WriteCz1(NoisePicture(4, 2, 3, 1));
    first[20] = static_cast<uint8_t>(depth);
    EXPECT_EQ(DecodeMemory(first).result, 2) << "first strip of " << depth << " bytes per pixel";
    CzStoredStrip later = Cz1Strip(NoisePicture(3, 1, 3, 1));
    later.bytesPerPixel = depth;
    EXPECT_EQ(DecodeMemory(AssembleCz1({Cz1Strip(NoisePicture(3, 1, 3, 1)), later})).result, 2)
        << "later strip of " << depth << " bytes per pixel";
  }
}

TEST(Cz1, PicturesWithoutRowsAreUnsupported) {
  Bytes none = AssembleCz1({});
  none.resize(24);
  none[20] = 4;
  EXPECT_EQ(DecodeMemory(none).result, 2);
  EXPECT_EQ(DecodeMemory(AssembleCz1({CzStoredStrip{5, 0, 4, {}}, CzStoredStrip{3, 0, 4, {}}})).result, 2);
}

TEST(Cz1, FilesCutShortAreRejected) {
  ExpectEveryCutRejected(AssembleCz1({Cz1Strip(NoisePicture(3, 3, 4, 1)), Cz1Strip(NoisePicture(2, 2, 3, 2), {0})}));
  // A strip table far longer than the file.
  Bytes file = WriteCz1(NoisePicture(3, 3, 4, 1));
  file[7] = 0x10;
  EXPECT_EQ(DecodeMemory(file).result, 2);
}

TEST(Cz1, GetInfoReadsTheFirstRecord) {
  Bytes file = WriteCz1(NoisePicture(300, 2, 3, 1), {0});
  PictureInfo info = InfoOf(file);
  EXPECT_EQ(info.width, 300);
  EXPECT_EQ(info.height, 2);
  EXPECT_EQ(info.colorDepth, 24);
  InfoOf(Bytes(file.begin(), file.begin() + 23), 2);  // shorter than the first record
}

TEST(Cz1, DecodesInFileModeAtAnOffset) {
  const Picture picture = SpritePicture(40, 30);
  Bytes file(128, 0x55);
  Append(file, WriteCz1(picture));
  ExpectPicture(DecodeFile(WriteTempFile("sprite.cz1", file), 128), picture);
}

// CZ2 -----------------------------------------------------------------------

TEST(Cz2, RunningDifferencesInScanOrder) {
  // Stored (10, 20, 30, 40), (1, 1, 1, 1), (2, 2, 2, 2), (0, 0, 0, 0): the
  // chain runs on from the first row into the second.
  const Bytes stored = {10, 20, 30, 40, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0};
  const Decoded d = DecodeMemory(AssembleCz2({CzStoredStrip{2, 2, 4, CompressLzss(stored, false)}}));
  ExpectPicture(d, Picture{2, 2, 4, {10, 20, 30, 40, 9, 19, 29, 39, 7, 17, 27, 37, 7, 17, 27, 37}});
  EXPECT_EQ(HeaderField(d.info, 20), 16u) << "biSizeImage";
}

TEST(Cz2, PicturesRoundTrip) {
  for (int width : {1, 3, 5, 64}) {
    const Picture picture = NoisePicture(width, 7, 4, 3u * width);
    ExpectPicture(DecodeMemory(WriteCz2(picture)), picture);
  }
  const Picture sprite = SpritePicture(90, 70);
  ExpectPicture(DecodeMemory(WriteCz2(sprite)), sprite);
}

TEST(Cz2, MostCompressedStreamsAreAccepted) {
  // One colour throughout: after the first pixel every stored byte is zero,
  // which the stream gives as back-references of 18 bytes, the most LZSS
  // packs into its bytes.
  Picture flat{64, 64, 4, {}};
  for (int i = 0; i < 64 * 64; ++i) Append(flat.pixels, {10, 20, 30, 40});
  ExpectPicture(DecodeMemory(WriteCz2(flat)), flat);
}

TEST(Cz2, StripsStackAndEachBeginsAtItsRecordedLength) {
  const Picture a = NoisePicture(12, 4, 4, 1), b = GradientPicture(20, 3, 4), c = NoisePicture(5, 6, 4, 2);
  CzStoredStrip first = Cz2Strip(a), second = Cz2Strip(b);
  first.spareBytes = 11;
  second.spareBytes = 3;
  const Bytes file = AssembleCz2({first, second, Cz2Strip(c)});
  const Decoded d = DecodeMemory(file);
  ExpectPicture(d, StackStrips({a, b, c}, 4));
  EXPECT_EQ(HeaderField(d.info, 20), d.bits.size());
  const PictureInfo info = InfoOf(file);
  EXPECT_EQ(info.width, 12);
  EXPECT_EQ(info.height, 4);
  EXPECT_EQ(info.colorDepth, 32);
}

TEST(Cz2, FirstRecordOfThreeBytesGivesTheColourBytes) {
  for (int width : {3, 5}) {
    const Picture a = NoisePicture(width, 3, 4, 1), b = NoisePicture(width + 2, 2, 4, 2);
    CzStoredStrip first = Cz2Strip(a);
    first.bytesPerPixel = 3;
    const Decoded d = DecodeMemory(AssembleCz2({first, Cz2Strip(b)}));
    ExpectPicture(d, StackStrips({a, b}, 3));
    EXPECT_EQ(HeaderField(d.info, 20), d.bits.size());
  }
}

TEST(Cz2, CountByteOfOneIsDetectedWithoutTheMarker) {
  const Picture picture = NoisePicture(4, 4, 4, 9);
  Bytes file = WriteCz2(picture);
  file[5] = file[6] = file[7] = 0;
  ExpectPicture(DecodeMemory(file), picture);
}

TEST(Cz2, UnsupportedDepthsAndPicturesWithoutRows) {
  for (uint8_t depth : {0, 2, 5}) {
    Bytes file = WriteCz2(NoisePicture(4, 4, 4, 9));
    file[20] = depth;
    EXPECT_EQ(DecodeMemory(file).result, 2) << int{depth};
  }
  Bytes none = AssembleCz2({});
  none.resize(24);
  none[20] = 4;
  EXPECT_EQ(DecodeMemory(none).result, 2);
}

TEST(Cz2, StreamsThatEndBeforeTheirStripIsFullFail) {
  ExpectEveryCutRejected(AssembleCz2({Cz2Strip(NoisePicture(3, 3, 4, 1)), Cz2Strip(GradientPicture(4, 2, 4))}));
  // Dimensions no stream of the file's size could fill.
  Bytes file = WriteCz2(NoisePicture(4, 4, 4, 9));
  file[8] = file[9] = file[10] = file[11] = 0xFF;
  EXPECT_EQ(DecodeMemory(file).result, 2);
}

}  // namespace
