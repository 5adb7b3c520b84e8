// The tiled PX layouts (formats 11 and 12) decoded through the exports and
// compared with the pictures they were written from.
#include <gtest/gtest.h>

#include "tests/fixtures/px_tiles_writer.h"
#include "tests/support/plugin_api.h"

namespace {

uint32_t HeaderField(const Bytes& info, size_t offset) {
  return info[offset] | info[offset + 1] << 8 | info[offset + 2] << 16 | static_cast<uint32_t>(info[offset + 3]) << 24;
}

// Decodes a file and checks the 32-bit bitmap it must give.
void ExpectPicture(const Bytes& file, const Picture& expected) {
  const Decoded d = DecodeMemory(file);
  ASSERT_EQ(d.result, 0);
  EXPECT_TRUE(d.unlocked);
  ASSERT_EQ(d.info.size(), 40u);
  EXPECT_EQ(HeaderField(d.info, 0), 40u);
  EXPECT_EQ(HeaderField(d.info, 4), static_cast<uint32_t>(expected.width));
  EXPECT_EQ(HeaderField(d.info, 8), static_cast<uint32_t>(expected.height));
  EXPECT_EQ(HeaderField(d.info, 12), 32u << 16 | 1u) << "one plane, 32 bits";
  EXPECT_EQ(HeaderField(d.info, 16), 0u);
  EXPECT_EQ(HeaderField(d.info, 20), d.bits.size()) << "biSizeImage";
  EXPECT_EQ(d.bits, ExpectedBits(expected));
}

// A picture of the given size with each pixel taken from `pixelAt(x, y)`.
template <class PixelAt>
Picture Painted(int width, int height, PixelAt pixelAt) {
  Picture p{width, height, 4, Bytes(static_cast<size_t>(width) * height * 4)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* pixel = pixelAt(x, y);
      std::copy(pixel, pixel + 4, p.At(x, y));
    }
  }
  return p;
}

const uint8_t kNone[4] = {0, 0, 0, 0};

int callbackCalls = 0;
int SPI_CALL StopAtOnce(int, int, SpiLongPtr) {
  ++callbackCalls;
  return 1;
}

TEST(Px4, PicturesRoundTripInBothTileSizes) {
  for (int tileSize : {16, 32}) {
    for (auto [width, height] : {std::pair{40, 20}, {64, 32}, {50, 37}, {1, 1}}) {
      for (const Picture& picture : {PatchworkPicture(width, height, tileSize, 3), GradientPicture(width, height, 4)}) {
        SCOPED_TRACE(testing::Message() << tileSize << " " << width << "x" << height);
        const Bytes file = WritePx4(Px4FromPicture(picture, tileSize));
        ExpectPicture(file, picture);
        const PictureInfo info = InfoOf(file);
        EXPECT_EQ(info.width, width);
        EXPECT_EQ(info.height, height);
        EXPECT_EQ(info.colorDepth, 32);
        EXPECT_EQ(info.left, 0);
        EXPECT_EQ(info.top, 0);
      }
    }
  }
}

TEST(Px4, SolidCellsFillOnlyThePartInsideThePicture) {
  // 40 x 20 with tiles of 16: the third column and the second row of cells
  // reach past the picture. Colour 0 has an alpha byte of its own.
  Px4File f;
  f.width = 40, f.height = 20, f.columns = 3, f.rows = 2;
  for (int i = 0; i < 6; ++i) {
    f.colours.insert(f.colours.end(), {uint8_t(10 * i), uint8_t(i), 200, uint8_t(0x7F + i)});
  }
  f.map = {-1, -2, -3, -4, -5, -6};
  ExpectPicture(WritePx4(f), Painted(40, 20, [&](int x, int y) { return &f.colours[4 * (x / 16 + 3 * (y / 16))]; }));
}

// A PX4 file of one tile row with tiles of 16, one solid colour and one
// stored tile.
Px4File OneTileRow(int width, int height, std::vector<int16_t> map, PxTileRecord tile) {
  Px4File f;
  f.width = width, f.height = height, f.rows = 1;
  f.columns = static_cast<int>(map.size());
  f.colours = {1, 2, 3, 4};
  f.tiles = {std::move(tile)};
  f.map = std::move(map);
  return f;
}

TEST(Px4, StoredTilesMoveTheNextCellByTheirOwnWidth) {
  // A tile 8 wide and 5 high, then an empty cell 8 pixels from its left
  // edge, then a solid cell 8 + 16 pixels from it.
  const Picture tile = NoisePicture(8, 5, 4, 9);
  const Px4File f = OneTileRow(48, 16, {1, 0, -1}, {8, 5, tile.pixels});
  ExpectPicture(WritePx4(f), Painted(48, 16, [&](int x, int y) {
                  if (x < 8 && y < 5) return tile.At(x, y);
                  return x >= 24 && x < 40 ? f.colours.data() : kNone;
                }));
}

TEST(Px4, TilesBeyondTheirCellAreClippedToThePicture) {
  // A 20 x 3 tile in a cell of 16 draws on across the next cell's place
  // and is cut at the picture's right edge; a solid cell follows it.
  const Picture tile = NoisePicture(20, 3, 4, 4);
  const Px4File f = OneTileRow(36, 4, {1, -1}, {20, 3, tile.pixels});
  ExpectPicture(WritePx4(f), Painted(36, 4, [&](int x, int y) {
                  return x >= 20 ? f.colours.data() : y < 3 ? tile.At(x, y) : kNone;
                }));
}

TEST(Px4, TileOfWidthZeroCountsAsAnEmptyCell) {
  const Px4File f = OneTileRow(32, 16, {1, -1}, {0, 16, {}});
  ExpectPicture(WritePx4(f), Painted(32, 16, [&](int x, int) { return x >= 16 ? f.colours.data() : kNone; }));
}

TEST(Px4, OnlyTheFirstFrameIsDrawnAndRecordsFollowEveryFrame) {
  const Picture picture = PatchworkPicture(40, 20, 16, 5);
  Px4File f = Px4FromPicture(picture, 16);
  const std::vector<int16_t> first = f.map;
  f.frames = 3;
  for (int frame = 1; frame < 3; ++frame) {
    for (size_t i = 0; i < first.size(); ++i) f.map.push_back(static_cast<int16_t>(i % 2 ? 1 : 0));
  }
  ExpectPicture(WritePx4(f), picture);
}

TEST(Px4, TheLastRecordNeedsOnlyItsOwnPixels) {
  Px4File f;
  f.width = f.height = 16, f.columns = f.rows = 1;
  f.tiles = {{4, 3, NoisePicture(4, 3, 4, 1).pixels}};
  f.map = {1};
  Bytes file = WritePx4(f);
  file.resize(Px4RecordOffset(f, 0) + 2 + 4 * 3 * 4);
  EXPECT_EQ(DecodeMemory(file).result, 0);
  file.pop_back();
  EXPECT_EQ(DecodeMemory(file).result, 2);
}

TEST(Px4, DamagedFilesAreRejected) {
  const Px4File good = Px4FromPicture(PatchworkPicture(40, 20, 16, 8), 16);
  ASSERT_EQ(DecodeMemory(WritePx4(good)).result, 0);
  const auto damaged = [&](auto change) {
    Px4File f = good;
    change(f);
    return DecodeMemory(WritePx4(f)).result;
  };
  EXPECT_EQ(damaged([](Px4File& f) { f.map[0] = static_cast<int16_t>(-1 - f.colours.size() / 4); }), 2)
      << "a colour past the table";
  EXPECT_EQ(damaged([](Px4File& f) { f.map[0] = static_cast<int16_t>(f.tiles.size() + 1); }), 2)
      << "a record past the end";
  const PxTileRecord oversized{17, 16, Bytes(17 * 16 * 4)};
  EXPECT_EQ(damaged([&](Px4File& f) { f.tiles[0] = oversized; }), 2) << "a tile that runs on into the next record";
  EXPECT_EQ(damaged([](Px4File& f) { f.frames = 0; }), 2);
  EXPECT_EQ(damaged([](Px4File& f) { f.width = 0; }), 2);
  EXPECT_EQ(damaged([](Px4File& f) { f.height = -20; }), 2);

  const Bytes file = WritePx4(good);
  const Bytes mapCut(file.begin(), file.begin() + Px4RecordOffset(good, 0) - 2 * good.map.size() + 3);
  EXPECT_EQ(DecodeMemory(mapCut).result, 2) << "the first frame's map cut short";
  InfoOf(Bytes(file.begin(), file.begin() + 31), 2);
  InfoOf(Bytes(file.begin(), file.begin() + 32));
}

Picture WithPixels(int width, int height, Bytes pixels) { return Picture{width, height, 4, std::move(pixels)}; }

TEST(Px5, FramesAreStackedWithTheLastOnTop) {
  for (int tileSize : {16, 32}) {
    for (auto [width, height, frames] : {std::tuple{20, 10, 2}, {50, 37, 3}, {64, 32, 1}}) {
      SCOPED_TRACE(testing::Message() << tileSize << " " << width << "x" << height << " x" << frames);
      std::vector<Picture> pictures;
      for (int i = 0; i < frames; ++i) pictures.push_back(PatchworkPicture(width, height, tileSize, 20 + i));
      const Bytes file = WritePx5(Px5FromFrames(pictures, tileSize));
      ExpectPicture(file, StackedFrames(pictures));
      const PictureInfo info = InfoOf(file);
      EXPECT_EQ(info.width, width);
      EXPECT_EQ(info.height, height * frames);
      EXPECT_EQ(info.colorDepth, 32);
    }
  }
}

TEST(Px5, TheMarginOfAStoredTileIsNeverDrawn) {
  // A full tile of T + 2 square beside an empty cell and above one: only
  // its first T pixels of its first T rows appear.
  const Picture cell = NoisePicture(16, 16, 4, 6);
  Px5File f = Px5FromFrames({WithPixels(32, 32, Bytes(32 * 32 * 4))}, 16);
  f.tiles = Px5FromFrames({cell}, 16).tiles;
  f.map = {1, 0, 0, 0};
  ExpectPicture(WritePx5(f), Painted(32, 32, [&](int x, int y) { return x < 16 && y < 16 ? cell.At(x, y) : kNone; }));
}

TEST(Px5, NegativeEntriesAndTilesWithinTheirMarginDrawNothing) {
  Px5File f = Px5FromFrames({WithPixels(64, 16, Bytes(64 * 16 * 4))}, 16);
  f.tiles = {{1, 18, Bytes(18 * 4, 0xAB)}, {18, 2, Bytes(36 * 4, 0xAB)}, {2, 2, Bytes(16, 0xAB)}};
  ASSERT_EQ(f.map.size(), 4u);
  f.map = {-1, 1, 2, 3};
  ExpectPicture(WritePx5(f), WithPixels(64, 16, Bytes(64 * 16 * 4)));
}

TEST(Px5, AnAllZeroMapGivesATransparentPicture) {
  const Picture clear = WithPixels(40, 30, Bytes(40 * 30 * 4));
  ExpectPicture(WritePx5(Px5FromFrames({clear, clear}, 16)), StackedFrames({clear, clear}));
}

TEST(Px5, AGridWithoutColumnsIsNotWalkedRowByRow) {
  // 200,000 frames of 65,535 tile rows each, but no cell in any of them: a
  // walk over the rows would take billions of steps.
  Px5File f;
  f.frames = 200000;
  f.frameWidth = 1, f.frameHeight = 1;
  f.columns = 0, f.rows = 65535;
  ExpectPicture(WritePx5(f), WithPixels(1, 200000, Bytes(200000 * 4)));
}

TEST(Px5, DamagedFilesAreRejected) {
  const Px5File good = Px5FromFrames({PatchworkPicture(40, 20, 16, 1), PatchworkPicture(40, 20, 16, 2)}, 16);
  ASSERT_EQ(DecodeMemory(WritePx5(good)).result, 0);
  const auto damaged = [&](auto change) {
    Px5File f = good;
    change(f);
    return DecodeMemory(WritePx5(f)).result;
  };
  EXPECT_EQ(damaged([](Px5File& f) { f.map.back() = static_cast<int16_t>(f.tiles.size() + 1); }), 2)
      << "a record past the end, in the last frame";
  const PxTileRecord oversized{19, 19, Bytes(19 * 19 * 4)};
  EXPECT_EQ(damaged([&](Px5File& f) { f.tiles[0] = oversized; }), 2) << "a tile that runs on into the next record";
  EXPECT_EQ(damaged([](Px5File& f) { f.frames = 0; }), 2);
  EXPECT_EQ(damaged([](Px5File& f) { f.frameHeight = -20; }), 2);

  const Bytes file = WritePx5(good);
  const Bytes mapCut(file.begin(), file.begin() + Px5RecordOffset(good, 0) - 1);
  EXPECT_EQ(DecodeMemory(mapCut).result, 2) << "the last frame's map cut short";
  InfoOf(Bytes(file.begin(), file.begin() + 31), 2);

  Px5File tall = good;
  tall.frames = 0x10000000;  // 20 rows a frame: more rows than a bitmap can have
  const Bytes tallFile = WritePx5(tall);
  InfoOf(tallFile, 2);
  EXPECT_EQ(DecodeMemory(tallFile).result, 2);
}

TEST(PxTiles, TheProgressCallbackIsNeverAsked) {
  const Picture picture = PatchworkPicture(40, 20, 16, 9);
  for (const Bytes& file : {WritePx4(Px4FromPicture(picture, 16)), WritePx5(Px5FromFrames({picture}, 16))}) {
    callbackCalls = 0;
    const Decoded d = DecodeMemory(file, StopAtOnce, 7);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.bits, ExpectedBits(picture));
    EXPECT_EQ(callbackCalls, 0);
  }
}

TEST(PxTiles, FilesOpenByNameAndAtAnOffset) {
  const Picture picture = PatchworkPicture(50, 37, 16, 4);
  const Bytes px4 = WritePx4(Px4FromPicture(picture, 32));
  const Bytes px5 = WritePx5(Px5FromFrames({picture}, 16));
  for (const auto& [name, file] : {std::pair{"tiles4.px", px4}, {"tiles5.PX", px5}}) {
    SCOPED_TRACE(name);
    const Decoded plain = DecodeFile(WriteTempFile(name, file));
    ASSERT_EQ(plain.result, 0);
    EXPECT_EQ(plain.bits, ExpectedBits(picture));
    Bytes shifted(128, 0xEE);
    Append(shifted, file);
    const Decoded atOffset = DecodeFile(WriteTempFile(std::string("shifted-") + name, shifted), 128);
    ASSERT_EQ(atOffset.result, 0);
    EXPECT_EQ(atOffset.bits, plain.bits);
    EXPECT_EQ(DecodeFile(WriteTempFile(std::string(name) + ".png", file)).result, 2) << "another extension";
  }
}

}  // namespace
