// PX, PX2 and PX3 pictures decoded through GetPicture and compared with
// the bitmaps they must give: round trips through our writers, the
// layouts' concrete examples, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/fixtures/px_writer.h"
#include "tests/support/plugin_api.h"
#include "tests/support/progress_calls.h"

namespace {

// The info block every PX decoder makes: the bitmap header with
// biSizeImage set, then the colour table when there is one.
Bytes InfoBlock(int width, int height, int bitCount, size_t sizeImage, const Bytes& table = {}) {
  Bytes info;
  PutLe32(info, 40);
  PutLe32(info, static_cast<uint32_t>(width));
  PutLe32(info, static_cast<uint32_t>(height));
  PutLe16(info, 1);
  PutLe16(info, static_cast<unsigned>(bitCount));
  PutLe32(info, 0);
  PutLe32(info, static_cast<uint32_t>(sizeImage));
  info.resize(40);
  Append(info, table);
  return info;
}

void ExpectPicture(const Decoded& d, const Picture& expected, const Bytes& table = {}) {
  ASSERT_EQ(d.result, 0);
  EXPECT_TRUE(d.unlocked);
  const Bytes bits = ExpectedBits(expected);
  EXPECT_EQ(d.info, InfoBlock(expected.width, expected.height, 8 * expected.bytesPerPixel, bits.size(), table));
  EXPECT_EQ(d.bits, bits);
}

Picture Blank(int width, int height, int bytesPerPixel) {
  return Picture{width, height, bytesPerPixel, Bytes(static_cast<size_t>(width) * height * bytesPerPixel)};
}

void SetPixel(Picture& p, int x, int y, std::initializer_list<uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), p.At(x, y));
}

Bytes GreyRamp() {
  Bytes table;
  for (unsigned i = 0; i < 256; ++i) PutLe32(table, i * 0x010101);
  return table;
}

// ---- PX: plain pictures

TEST(Px, PlainLayoutsRoundTrip) {
  for (int width : {3, 4, 5}) {
    for (int format : {1, 10}) {
      const PxFile px{NoisePicture(width, 4, 4, 3u * width + format), format};
      ExpectPicture(DecodeMemory(WritePx(px)), px.picture);
    }
    const PxFile grey{IndexPicture(width, 4, 256, 7), 1};
    ExpectPicture(DecodeMemory(WritePx(grey)), grey.picture, GreyRamp());
    const PxFile mapped{IndexPicture(width, 4, 256, 8), 7, TestPalette(5)};
    ExpectPicture(DecodeMemory(WritePx(mapped)), mapped.picture, mapped.palette);
    for (int format : {0, 1, -1}) {
      const PxFile plain16{NoisePicture(width, 4, 2, 9), format};
      ExpectPicture(DecodeMemory(WritePx(plain16)), plain16.picture);
    }
  }
}

TEST(Px, SixteenBitUnits) {
  for (int width : {4, 5}) {
    const PxFile wide{NoisePicture(width, 3, 2, 21), 2};
    const Bytes file = WritePx(wide);
    EXPECT_EQ(file.size(), 32u + 4 * width * 3) << "four bytes a pixel";
    ExpectPicture(DecodeMemory(file), wide.picture);

    const PxFile pairs{NoisePicture(width, 3, 2, 22), 3};
    Picture expected = pairs.picture;
    if (width % 2) {
      for (int y = 0; y < 3; ++y) SetPixel(expected, width - 1, y, {0, 0});
    }
    const Bytes pairFile = WritePx(pairs);
    EXPECT_EQ(pairFile.size(), 32u + 8 * (width / 2) * 3) << "eight bytes a pair";
    ExpectPicture(DecodeMemory(pairFile), expected);
  }
}

TEST(Px, AlphaPassesUnchanged) {
  PxFile px{NoisePicture(4, 2, 4, 1)};
  SetPixel(px.picture, 0, 0, {1, 2, 3, 0});
  SetPixel(px.picture, 1, 0, {4, 5, 6, 255});
  SetPixel(px.picture, 2, 0, {7, 8, 9, 1});
  ExpectPicture(DecodeMemory(WritePx(px)), px.picture);
}

TEST(Px, OuterHeaderIsSkipped) {
  PxFile px{NoisePicture(6, 5, 4, 2), 10, {}, true};
  Bytes file = WritePx(px);
  std::memcpy(&file[20], "leafaquaplus", 12);  // the text's letter case does not matter
  ExpectPicture(DecodeMemory(file), px.picture);
  const PictureInfo info = InfoOf(file);
  EXPECT_EQ(info.width, 6);
  EXPECT_EQ(info.height, 5);
  EXPECT_EQ(info.colorDepth, 32);

  const PxFile grey{IndexPicture(3, 2, 256, 1), 1, {}, true};
  ExpectPicture(DecodeMemory(WritePx(grey)), grey.picture, GreyRamp());
}

TEST(Px, GetInfoNeedsSixtyFourBytes) {
  Bytes file = WritePx(PxFile{IndexPicture(7, 5, 256, 1), 1});
  ASSERT_GE(file.size(), 64u);
  file.resize(64);
  const PictureInfo info = InfoOf(file);
  EXPECT_EQ(info.width, 7);
  EXPECT_EQ(info.height, 5);
  EXPECT_EQ(info.colorDepth, 8);
  EXPECT_EQ(info.left, 0);
  EXPECT_EQ(SpiHandle{info.hInfo}, nullptr);  // a copy: the packed field may be misaligned
  file.resize(63);
  InfoOf(file, 2);
}

TEST(Px, SmallPicturesDecodeBelowSixtyFourBytes) {
  const PxFile px{IndexPicture(1, 1, 256, 1), 1};
  const Bytes file = WritePx(px);
  ASSERT_EQ(file.size(), 33u);
  ExpectPicture(DecodeMemory(file), px.picture, GreyRamp());
}

TEST(Px, DamagedFilesAreRejected) {
  Bytes truncated = WritePx(PxFile{NoisePicture(5, 4, 4, 1)});
  truncated.pop_back();
  EXPECT_EQ(DecodeMemory(truncated).result, 2) << "pixels missing";
  Bytes noTable = WritePx(PxFile{IndexPicture(2, 1, 256, 1), 7, TestPalette(1)});
  noTable.resize(32 + 1000);
  EXPECT_EQ(DecodeMemory(noTable).result, 2) << "colour table cut short";
  Bytes outerOnly = WritePx(PxFile{NoisePicture(2, 2, 4, 1), 10, {}, true});
  outerOnly.resize(40);
  EXPECT_EQ(DecodeMemory(outerOnly).result, 2) << "no inner header";
  for (size_t offset : {0, 4}) {
    Bytes negative = WritePx(PxFile{NoisePicture(2, 2, 4, 1), 10});
    negative[offset + 3] = 0x80;
    EXPECT_EQ(DecodeMemory(negative).result, 2) << "negative size at " << offset;
  }
}

// ---- PX2: run lists

Bytes Px2Header(int width, int height) {
  Bytes file;
  for (uint32_t v : {width, height, 0, 0}) PutLe32(file, v);
  PutLe16(file, 4);
  PutLe16(file, 32);
  PutLe32(file, static_cast<uint32_t>(width));
  file.resize(32);
  return file;
}

void PutRun(Bytes& file, int dy, int dx, const Bytes& pixels) {
  PutLe32(file, 7);
  PutLe16(file, static_cast<unsigned>(dy) & 0xFFFF);
  PutLe16(file, static_cast<unsigned>(dx) & 0xFFFF);
  PutLe32(file, static_cast<uint32_t>(pixels.size() / 4));
  Append(file, pixels);
}

Picture SparseSprite(int width, int height) {
  Picture p = WithRunListAlpha(SpritePicture(width, height));
  for (size_t i = 0; i < p.pixels.size(); i += 4) {
    if (p.pixels[i + 3] == 0) std::fill(&p.pixels[i], &p.pixels[i] + 4, 0);
  }
  return p;
}

TEST(Px2, RunListsRoundTrip) {
  Picture noise = WithRunListAlpha(NoisePicture(9, 7, 4, 5));
  for (size_t i = 0; i < noise.pixels.size(); i += 12) std::fill(&noise.pixels[i], &noise.pixels[i] + 4, 0);
  for (const Picture& picture : {SparseSprite(23, 17), noise}) {
    for (const RunListOptions& runs : {RunListOptions{}, RunListOptions{3, false, false},
                                       RunListOptions{0, true, false}, RunListOptions{4, true, true}}) {
      for (bool leafText : {false, true}) {
        const Bytes file = WritePx2(Px2File{picture, runs, leafText});
        ExpectPicture(DecodeMemory(file), picture);
        const PictureInfo info = InfoOf(file);
        EXPECT_EQ(info.width, picture.width);
        EXPECT_EQ(info.height, picture.height);
        EXPECT_EQ(info.colorDepth, 32);
      }
    }
  }
}

TEST(Px2, AnEmptyListIsTransparent) {
  Bytes file = Px2Header(5, 3);
  PutLe32(file, 0xFFFFFFFF);
  ExpectPicture(DecodeMemory(file), Blank(5, 3, 4));
}

TEST(Px2, RunsMoveFromTheEndOfThePreviousRun) {
  Bytes file = Px2Header(10, 2);
  PutRun(file, 0, 1, {1, 1, 1, 2, 2, 2, 2, 4});
  PutLe32(file, 0xFFFFFFFE);  // a mark of four bytes that moves nothing
  PutRun(file, 0, 3, {3, 3, 3, 6});
  PutRun(file, 1, -(1 + 6), {4, 4, 4, 8});  // column 0 of the next row
  PutLe32(file, 0xFFFFFFFF);
  Picture expected = Blank(10, 2, 4);
  SetPixel(expected, 1, 0, {1, 1, 1, 4});
  SetPixel(expected, 2, 0, {2, 2, 2, 8});
  SetPixel(expected, 6, 0, {3, 3, 3, 12});
  SetPixel(expected, 0, 1, {4, 4, 4, 16});
  ExpectPicture(DecodeMemory(file), expected);
}

TEST(Px2, AlphaIsDoubledAndZeroIsOpaque) {
  Bytes file = Px2Header(4, 1);
  PutRun(file, 0, 0, {10, 11, 12, 0, 20, 21, 22, 1, 30, 31, 32, 127, 40, 41, 42, 128});
  PutLe32(file, 0xFFFFFFFF);
  Picture expected = Blank(4, 1, 4);
  expected.pixels = {10, 11, 12, 255, 20, 21, 22, 2, 30, 31, 32, 254, 40, 41, 42, 0};
  ExpectPicture(DecodeMemory(file), expected);
}

// Runs are clipped to the picture: what lies before its first pixel or
// after its last is dropped, the rest is drawn.
TEST(Px2, RunsLeavingThePictureAreClipped) {
  Bytes file = Px2Header(3, 2);
  PutRun(file, 0, -2, {9, 9, 9, 1, 8, 8, 8, 1, 1, 1, 1, 1, 2, 2, 2, 1});  // starts two pixels early
  PutRun(file, 0, 1, {3, 3, 3, 1, 4, 4, 4, 1, 5, 5, 5, 1, 7, 7, 7, 1});   // past the end of the last row
  PutRun(file, 32767, 0, {6, 6, 6, 1});                                   // far below
  PutRun(file, -32768, -32768, {6, 6, 6, 1});                             // far above
  PutLe32(file, 0xFFFFFFFF);
  Picture expected = Blank(3, 2, 4);
  SetPixel(expected, 0, 0, {1, 1, 1, 2});
  SetPixel(expected, 1, 0, {2, 2, 2, 2});
  SetPixel(expected, 0, 1, {3, 3, 3, 2});
  SetPixel(expected, 1, 1, {4, 4, 4, 2});
  SetPixel(expected, 2, 1, {5, 5, 5, 2});
  ExpectPicture(DecodeMemory(file), expected);
}

TEST(Px2, DamagedListsAreRejected) {
  const Bytes whole = WritePx2(Px2File{SparseSprite(12, 10)});
  for (size_t cut : {size_t{4}, size_t{5}, whole.size() / 2, whole.size() - 32}) {
    EXPECT_EQ(DecodeMemory(Bytes(whole.begin(), whole.end() - static_cast<long>(cut))).result, 2) << cut;
  }
  Bytes longRun = Px2Header(4, 4);
  PutRun(longRun, 0, 0, Bytes(8, 1));
  longRun[32 + 8] = 3;  // claims three pixels, holds two
  PutLe32(longRun, 0xFFFFFFFF);
  EXPECT_EQ(DecodeMemory(longRun).result, 2);
  Bytes negative = Px2Header(4, 4);
  negative[7] = 0xFF;
  PutLe32(negative, 0xFFFFFFFF);
  EXPECT_EQ(DecodeMemory(negative).result, 2);
  InfoOf(Bytes(whole.begin(), whole.begin() + 32));
  InfoOf(Bytes(whole.begin(), whole.begin() + 31), 2);
}

// ---- PX3: sub-images

Px3SubImage TrueColourPart(int width, int height, int x, int y, uint32_t seed) {
  Picture p = WithRunListAlpha(NoisePicture(width, height, 4, seed));
  for (size_t i = 0; i < p.pixels.size(); i += 20) std::fill(&p.pixels[i], &p.pixels[i] + 4, 0);
  return Px3SubImage{p, x, y, 32};
}

TEST(Px3, TrueColourSubImagesReplaceTheirRectangles) {
  Px3File px3{14, 11};
  px3.subImages = {TrueColourPart(7, 6, 1, 1, 1), TrueColourPart(6, 5, 4, 3, 2), TrueColourPart(3, 2, 10, 0, 3)};
  for (const RunListOptions& runs : {RunListOptions{}, RunListOptions{2, true, true}}) {
    px3.runs = runs;
    const Bytes file = WritePx3(px3);
    ExpectPicture(DecodeMemory(file), Px3Picture(px3));
    const PictureInfo info = InfoOf(file);
    EXPECT_EQ(info.width, 14);
    EXPECT_EQ(info.height, 11);
    EXPECT_EQ(info.colorDepth, 32);
  }
}

TEST(Px3, ALargerSecondSubImageHidesTheFirst) {
  Px3File px3{8, 8};
  Picture opaque = NoisePicture(3, 3, 4, 4);
  for (size_t i = 3; i < opaque.pixels.size(); i += 4) opaque.pixels[i] = 255;
  Picture sparse = Blank(6, 6, 4);
  SetPixel(sparse, 4, 4, {1, 2, 3, 254});
  px3.subImages = {{opaque, 1, 1, 32}, {sparse, 0, 0, 32}};
  const Picture expected = Px3Picture(px3);
  ASSERT_EQ(std::count(expected.pixels.begin(), expected.pixels.end(), 0), 8 * 8 * 4 - 4);
  ExpectPicture(DecodeMemory(WritePx3(px3)), expected);
}

TEST(Px3, RectanglesReachingPastThePictureAreClipped) {
  Px3File px3{10, 8};
  px3.subImages = {TrueColourPart(6, 5, 7, 5, 1), TrueColourPart(5, 6, -2, -3, 2), TrueColourPart(4, 4, 12, 1, 3),
                   TrueColourPart(4, 4, 1, 9, 4)};
  ExpectPicture(DecodeMemory(WritePx3(px3)), Px3Picture(px3));
}

Px3SubImage IndexedPart(int width, int height, int x, int y, int depth, uint32_t seed) {
  Px3SubImage s{IndexPicture(width, height, 40, seed), x, y, depth, Bytes(static_cast<size_t>(width) * height)};
  const uint8_t alphas[] = {255, 255, 0, 254, 2, 255, 128, 255, 0, 64};
  for (size_t k = 0; k < s.alpha.size(); ++k) s.alpha[k] = alphas[(k + seed) % sizeof alphas];
  if (depth == 8) {
    for (size_t k = 0; k < s.alpha.size(); ++k) s.picture.pixels[k] = s.alpha[k] ? s.picture.pixels[k] | 1 : 0;
  }
  return s;
}

Px3File PaletteFile(int depth, int colours) {
  Px3File px3{12, 9, 68, TestPalette(6), colours};
  px3.subImages = {IndexedPart(7, 5, 0, 0, depth, 1), IndexedPart(6, 6, 5, 3, depth, 2),
                   IndexedPart(3, 4, -1, 6, depth, 3)};
  return px3;
}

TEST(Px3, PaletteSubImagesOfEightBits) {
  const Px3File px3 = PaletteFile(8, 40);
  const Bytes file = WritePx3(px3);
  Bytes table(px3.palette.begin(), px3.palette.begin() + 4 * 40);
  table.resize(1024);  // colours past the palette's stay zero
  ExpectPicture(DecodeMemory(file), Px3Picture(px3), table);
  EXPECT_EQ(InfoOf(file).colorDepth, 8);
}

// The first sub-image sets the pixel size for all; a later one of depth 32
// in an 8-bit picture has no alpha byte to double and is copied as it is.
TEST(Px3, LaterSubImagesKeepTheFirstOnesPixelSize) {
  Px3File px3 = PaletteFile(8, 40);
  px3.subImages[1].depth = 32;
  Bytes table(px3.palette.begin(), px3.palette.begin() + 4 * 40);
  table.resize(1024);
  ExpectPicture(DecodeMemory(WritePx3(px3)), Px3Picture(px3), table);
}

// Every sub-image starts in alpha mode; the first ends in opaque mode.
TEST(Px3, IndexedSubImagesGiveThirtyTwoBits) {
  Px3File px3 = PaletteFile(9, 40);
  ASSERT_EQ(px3.subImages[0].alpha.back(), 255);
  for (const RunListOptions& runs : {RunListOptions{}, RunListOptions{3, true, false}}) {
    px3.runs = runs;
    const Bytes file = WritePx3(px3);
    ExpectPicture(DecodeMemory(file), Px3Picture(px3));
    EXPECT_EQ(InfoOf(file).colorDepth, 8) << "the format word speaks for the file";
  }
}

TEST(Px3, IndexedRunsFarApart) {
  Px3File px3{1500, 300, 68, TestPalette(2), 256};
  Px3SubImage s{IndexPicture(1500, 300, 256, 1), 0, 0, 9, Bytes(1500 * 300)};
  for (size_t k : {size_t{0}, size_t{1200}, size_t{1499}, size_t{1500 * 2 + 10}, size_t{1500 * 299 + 5}})
    s.alpha[k] = 255;
  px3.subImages = {s};
  ExpectPicture(DecodeMemory(WritePx3(px3)), Px3Picture(px3));
}

// One indexed sub-image over the whole picture, with hand-made runs.
Bytes IndexedFile(int width, int height, const Bytes& colours, const Bytes& runs) {
  Bytes file;
  PutLe32(file, 2);
  file.resize(16);
  PutLe16(file, 68);
  PutLe16(file, 8);
  PutLe32(file, static_cast<uint32_t>(width));
  PutLe32(file, static_cast<uint32_t>(height));
  file.resize(32 + 8);
  PutLe32(file, static_cast<uint32_t>(colours.size() / 4));
  file.resize(file.size() + 28);
  Append(file, colours);
  for (uint32_t v : {width, height, 0, 0}) PutLe32(file, v);
  PutLe16(file, 0);
  PutLe16(file, 9);
  file.resize(file.size() + 12);
  Append(file, runs);
  PutLe32(file, 0xFFFFFFFF);
  return file;
}

TEST(Px3, IndexedControlValues) {
  const Bytes colours = {10, 11, 12, 99, 20, 21, 22, 99, 30, 31, 32, 99};
  // clang-format off
  const Bytes runs = {
      0x00, 0x06, 0xA0, 0x00, 7, 0, 8, 1, 9, 2,  // dy 0, dx 5, 3 pairs
      0x01, 0x0A, 0xA0, 0xFF,                    // dy 1, dx -3, 5 pixels, still pairs
      0, 2, 64, 1, 127, 0, 1, 2, 2, 2,
      0x01, 0x0A, 0xA8, 0xFF,                    // the same run switching to single indices
      0, 1, 2, 7, 1,                             // index 7 lies past the palette
      0x01, 0x02, 0xE8, 0xFF,                    // dy 1, dx -1, 1 pixel, back to pairs
      0, 2};
  // clang-format on
  Picture expected = Blank(8, 5, 4);
  SetPixel(expected, 5, 0, {10, 11, 12, 14});
  SetPixel(expected, 6, 0, {20, 21, 22, 16});
  SetPixel(expected, 7, 0, {30, 31, 32, 18});
  SetPixel(expected, 5, 1, {30, 31, 32, 0});
  SetPixel(expected, 6, 1, {20, 21, 22, 128});
  SetPixel(expected, 7, 1, {10, 11, 12, 254});
  SetPixel(expected, 0, 2, {30, 31, 32, 2});
  SetPixel(expected, 1, 2, {30, 31, 32, 4});
  SetPixel(expected, 7, 2, {10, 11, 12, 255});
  SetPixel(expected, 0, 3, {20, 21, 22, 255});
  SetPixel(expected, 1, 3, {30, 31, 32, 255});
  SetPixel(expected, 2, 3, {0, 0, 0, 255});
  SetPixel(expected, 3, 3, {20, 21, 22, 255});
  SetPixel(expected, 3, 4, {30, 31, 32, 0});
  ExpectPicture(DecodeMemory(IndexedFile(8, 5, colours, runs)), expected);
}

Bytes WithU32(Bytes file, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  return file;
}

TEST(Px3, UnsupportedPicturesAndLayouts) {
  Px3File px3{4, 4};
  px3.subImages = {TrueColourPart(4, 4, 0, 0, 1)};
  const Bytes file = WritePx3(px3);
  ASSERT_EQ(DecodeMemory(file).result, 0);
  EXPECT_EQ(DecodeMemory(WithU32(file, 20, 16777216)).result, 2);
  EXPECT_EQ(DecodeMemory(WithU32(file, 24, 0)).result, 2);
  EXPECT_EQ(DecodeMemory(WithU32(file, 24, 0xFFFFFFFF)).result, 2);
  const size_t depth = 32 + 4 + 18;  // the first sub-image's depth word
  for (uint8_t tooDeep : {48, 55}) {
    Bytes deep = file;
    deep[depth] = tooDeep;
    EXPECT_EQ(DecodeMemory(deep).result, 2) << int{tooDeep};
  }
  Bytes eightBitsWithoutPalette = file;
  eightBitsWithoutPalette[depth] = 8;
  EXPECT_EQ(DecodeMemory(eightBitsWithoutPalette).result, 2);

  const Bytes paletteFile = WritePx3(PaletteFile(8, 40));
  const size_t paletteDepth = 32 + 4 * 4 + 32 + 4 * 40 + 18;
  ASSERT_EQ(paletteFile[paletteDepth], 8);
  Bytes trueColourAfterPalette = paletteFile;
  trueColourAfterPalette[paletteDepth] = 32;
  EXPECT_EQ(DecodeMemory(trueColourAfterPalette).result, 2);
}

TEST(Px3, DamagedFilesAreRejected) {
  for (const Bytes& whole : {WritePx3(PaletteFile(9, 40)), WritePx3(PaletteFile(8, 40))}) {
    for (size_t keep : {size_t{31}, size_t{60}, size_t{100}, size_t{240}, whole.size() / 2, whole.size() - 1}) {
      EXPECT_EQ(DecodeMemory(Bytes(whole.begin(), whole.begin() + static_cast<long>(keep))).result, 2) << keep;
    }
    EXPECT_EQ(DecodeMemory(WithU32(whole, 32 + 16, 0x40000000)).result, 2) << "a palette larger than the file";
  }
  const Bytes file = WritePx3(PaletteFile(9, 40));
  InfoOf(Bytes(file.begin(), file.begin() + 32));
  InfoOf(Bytes(file.begin(), file.begin() + 31), 2);
}

// ---- All three

std::vector<Bytes> OneOfEachLayout() {
  return {WritePx(PxFile{NoisePicture(5, 3, 4, 1)}), WritePx2(Px2File{SparseSprite(9, 8)}),
          WritePx3(PaletteFile(9, 40))};
}

TEST(PxFamily, ProgressBeforeAndAfter) {
  for (const Bytes& file : OneOfEachLayout()) ExpectStagesThatCanStop(file, 1);
}

TEST(PxFamily, FileModeNeedsThePxExtension) {
  for (const Bytes& file : OneOfEachLayout()) {
    Bytes at128(128, 0xEE);
    Append(at128, file);
    const Decoded memory = DecodeMemory(file);
    const Decoded named = DecodeFile(WriteTempFile("picture.Px", at128), 128);
    ASSERT_EQ(named.result, 0);
    EXPECT_EQ(named.info, memory.info);
    EXPECT_EQ(named.bits, memory.bits);
    EXPECT_EQ(DecodeFile(WriteTempFile("picture.bmp", at128), 128).result, 2);
  }
}

}  // namespace
