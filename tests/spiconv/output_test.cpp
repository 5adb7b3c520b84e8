// What spiconv writes: the rows of a PNG file, the bytes of a BMP file,
// and its lines.
#include <gtest/gtest.h>

#include "tests/engine/dib_blocks.h"
#include "tools/spiconv/bmp_bytes.h"
#include "tools/spiconv/png_rows.h"
#include "tools/spiconv/report.h"

namespace {

// A 2x2 picture of 32-bit pixels given top row first, stored bottom-up.
Bytes Rows32(uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight) {
  Bytes rows;
  for (uint32_t pixel : {bottomLeft, bottomRight, topLeft, topRight}) PutWord(rows, pixel);
  return rows;
}

Bytes TopRow(const PngRows& rows) { return Bytes(rows.Row(0), rows.Row(0) + rows.width * (rows.alpha ? 4 : 3)); }

TEST(PngRows, AlphaIsKeptAsItIsAndRowsKeepTheirPlace) {
  const Bytes info = InfoBlock(2, 2, 32);
  const Bytes pixels = Rows32(0x80102030, 0x00FFFFFF, 0xFF000000, 0x01020304);
  PngRows rows;
  ASSERT_TRUE(MakePngRows(Span(info), Span(pixels), &rows));
  EXPECT_TRUE(rows.alpha);
  EXPECT_EQ(rows.stride, 8u);
  EXPECT_EQ(TopRow(rows), (Bytes{0x30, 0x20, 0x10, 0x80, 0xFF, 0xFF, 0xFF, 0x00}));
  EXPECT_EQ(Bytes(rows.Row(1), rows.Row(1) + 8), (Bytes{0, 0, 0, 0xFF, 4, 3, 2, 1}));

  // Stored top row first: the same picture.
  PngRows topDown;
  const Bytes flipped = InfoBlock(2, -2, 32);
  const Bytes flippedPixels = Rows32(0xFF000000, 0x01020304, 0x80102030, 0x00FFFFFF);
  ASSERT_TRUE(MakePngRows(Span(flipped), Span(flippedPixels), &topDown));
  EXPECT_EQ(topDown.pixels, rows.pixels);
}

TEST(PngRows, PicturesWithoutAlphaBecome24Bits) {
  // 32 bits whose fourth byte is 0 everywhere: an opaque picture.
  const Bytes info = InfoBlock(2, 2, 32);
  const Bytes pixels = Rows32(0x00102030, 0x00405060, 0, 0);
  PngRows rows;
  ASSERT_TRUE(MakePngRows(Span(info), Span(pixels), &rows));
  EXPECT_FALSE(rows.alpha);
  EXPECT_EQ(rows.stride, 8u);  // 6 bytes padded to 4
  EXPECT_EQ(TopRow(rows), (Bytes{0x30, 0x20, 0x10, 0x60, 0x50, 0x40}));

  // Paletted: the colour table's colours.
  Bytes paletted = InfoBlock(2, 1, 8, kBiRgb, {0x00AABBCC, 0x00112233});
  SetClrUsed(paletted, 2);
  const Bytes indices{1, 0, 0, 0};
  ASSERT_TRUE(MakePngRows(Span(paletted), Span(indices), &rows));
  EXPECT_FALSE(rows.alpha);
  EXPECT_EQ(TopRow(rows), (Bytes{0x33, 0x22, 0x11, 0xCC, 0xBB, 0xAA}));
}

TEST(PngRows, RefusesBlocksShorterThanTheirHeaderSays) {
  const Bytes info = InfoBlock(2, 2, 32);
  const Bytes pixels(15, 0);
  PngRows rows;
  EXPECT_FALSE(MakePngRows(Span(info), Span(pixels), &rows));
  EXPECT_FALSE(MakePngRows(ByteSpan{info.data(), 39}, Span(Bytes(16, 0)), &rows));
}

TEST(BmpFile, KeepsTheBlocksAsHandedOver) {
  // An 8-bit picture whose block holds two of the 256 entries its header implies.
  const Bytes info = InfoBlock(2, 1, 8, kBiRgb, {0x00AABBCC, 0x00112233});
  const Bytes bits{1, 0, 0, 0};
  Bytes file;
  ASSERT_TRUE(MakeBmpFile(Span(info), Span(bits), &file));
  ASSERT_EQ(file.size(), 14u + 48 + 4);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Le32(file.data() + 2), file.size());
  EXPECT_EQ(Le32(file.data() + 6), 0u);
  EXPECT_EQ(Le32(file.data() + 10), 14u + 48);
  EXPECT_EQ(Bytes(file.begin() + 14, file.begin() + 62), info);
  EXPECT_EQ(Bytes(file.begin() + 62, file.end()), bits);

  // A 24-bit picture keeps its header alone, whatever follows it in the block.
  Bytes longer = InfoBlock(1, 1, 24);
  longer.resize(64, 0xEE);
  EXPECT_EQ(KeptInfoBytes(Span(longer)), 40u);
  Bytes counted = InfoBlock(1, 1, 24);
  SetClrUsed(counted, 3);
  counted.resize(100, 0xEE);
  EXPECT_EQ(KeptInfoBytes(Span(counted)), 52u);
}

TEST(Report, LinesCountCharactersNotBytes) {
  EXPECT_EQ(Column("a.cz1"), "a.cz1" + std::string(19, ' '));
  // Six characters, three of them of three bytes.
  const std::string test = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.px";
  EXPECT_EQ(Column(test), test + std::string(18, ' '));
  EXPECT_EQ(Column(std::string(30, 'n')), std::string(30, 'n'));
  EXPECT_EQ(PictureDetails(640, 480, 24, 32, 0, 0), "   640 x 480    24 bit (decoded 32 bit)  info 0  picture 0");

  EXPECT_EQ(ProgressText(3, 12, "a.cz1", 20), "[3/12] a.cz1       ");
  // Cut between characters to the console's width less one, kana taking
  // two cells: "[1/1] テ" takes 8 of 9 cells, where ス would not fit.
  EXPECT_EQ(ProgressText(1, 1, "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88", 10), "[1/1] \xE3\x83\x86 ");
  EXPECT_EQ(ProgressText(1, 1, "\xC3\xA9t\xC3\xA9", 10), "[1/1] \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(ProgressText(1, 1, "x", 0), "");
}

TEST(Report, TheSummaryAndTheExitCode) {
  Tally tally;
  tally.Add(Outcome::Converted);
  tally.Add(Outcome::Converted);
  tally.Add(Outcome::Skipped);
  EXPECT_EQ(tally.SummaryLine(), "2 converted, 0 failed, 1 skipped");
  EXPECT_EQ(tally.ExitCode(), 0);
  tally.Add(Outcome::Failed);
  EXPECT_EQ(tally.SummaryLine(), "2 converted, 1 failed, 1 skipped");
  EXPECT_EQ(tally.ExitCode(), 1);
}

}  // namespace
