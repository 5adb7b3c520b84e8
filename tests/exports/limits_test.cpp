// Small files whose headers claim sizes at the limits of a 32-bit process.
// Both builds must answer them without reading or writing outside a block,
// and alike: a 32-bit process may only say OutOfMemory (4) where a 64-bit
// one decodes a picture too big for it; a picture past the size cap of 2 GiB
// is refused with 4 by both.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/platform.h"
#include "tests/fixtures/cz_writer.h"
#include "tests/fixtures/lf_writer.h"
#include "tests/fixtures/px_writer.h"
#include "tests/fixtures/tga_writer.h"
#include "tests/support/plugin_api.h"

namespace {

constexpr bool k32Bit = sizeof(void*) == 4;

void PatchLe16(Bytes& file, size_t offset, uint16_t value) {
  file[offset] = static_cast<uint8_t>(value);
  file[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void PatchLe32(Bytes& file, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A grid of 32,769 tiles of 4,096 × 1 pixels, all drawn from one 1 × 1
// record with a 32-bit colour map: its rows take 2^32 + 2^17 bits.
Bytes WideBbm(uint16_t tileHeight = 1) {
  Bytes file = {0x80, 0x01, 0x00, 0x01};  // tiles across and down, big-endian
  PutLe16(file, 4096);                    // tile width
  PutLe16(file, tileHeight);              // tile height
  PutLe16(file, 32769);                   // tiles across
  PutLe16(file, 1);                       // tiles down
  PutLe32(file, 0);                       // record size: every tile is the first record
  Append(file, TgaHeaderBytes(1, 1, 8));
  file[16 + 1] = 1;  // colour-mapped, one entry of 32 bits
  file[16 + 2] = 1;
  PatchLe16(file, 16 + 5, 1);
  file[16 + 7] = 32;
  Append(file, {0x11, 0x22, 0x33, 0x44, 0x00});  // the entry, then the one index
  return file;
}

TEST(Limits, BbmRowOfMoreThanFourGigabits) {
  const Bytes file = WideBbm();
  ASSERT_EQ(file.size(), 39u);
  // The picture is half a gigabyte: inspected in place, not copied out.
  SpiHandle info = nullptr, bits = nullptr;
  const int result = Plugin().getPicture(reinterpret_cast<const char*>(file.data()),
                                         static_cast<SpiLongPtr>(file.size()), 1, &info, &bits, nullptr, 0);
  if (k32Bit && result == 4) return;  // a 32-bit heap may not have 512 MiB in one piece
  ASSERT_EQ(result, 0);
  const size_t rowBytes = size_t{4096} * 32769 * 4;
  EXPECT_EQ(platform::MovableSize(bits), rowBytes);
  const uint8_t* row = platform::LockMovable(bits);
  const uint8_t colour[] = {0x11, 0x22, 0x33, 0x44};
  EXPECT_EQ(std::memcmp(row, colour, 4), 0);
  EXPECT_EQ(std::memcmp(row + rowBytes - 4096 * 4, colour, 4), 0) << "the last tile";
  EXPECT_EQ(row[rowBytes - 1], 0) << "beyond the last tile's one pixel";
  platform::UnlockMovable(bits);
  platform::FreeMovable(bits);
  platform::FreeMovable(info);
}

// The same tiles five rows high: a picture of 2.5 GiB, past the size cap.
TEST(Limits, APicturePastTheSizeCapIsRefusedInBothWidths) {
  EXPECT_EQ(DecodeMemory(WideBbm(5)).result, 4);
}

// 65,538 strips of 1 × 65,535 pixels whose data all start at the same raw
// rows: more than 2^32 rows in all, a picture of 16 GiB.
TEST(Limits, Cz1StripHeightsSummingPastFourGiga) {
  std::vector<CzStoredStrip> strips(65538, CzStoredStrip{1, 65535, 3});
  for (int y = 0; y < 65535; ++y) Append(strips.back().data, Cz1StoredRow(kCz1Raw, {1, 2, 3}));
  EXPECT_EQ(DecodeMemory(AssembleCz1(strips)).result, 4);
}

// A width of 2^30 + 1 whose stored rows would take 2^32 + 4 bytes (or
// 2^32 + 8 bytes in pairs): the 36-byte file holds one stored row of four.
TEST(Limits, PxStoredRowsPastFourGigabytes) {
  for (int format : {2, 3}) {
    PxFile px{NoisePicture(2, 1, 2, 1), format};
    Bytes file = WritePx(px);
    PatchLe32(file, 0, 0x40000001);
    file.resize(32 + 4);
    EXPECT_EQ(DecodeMemory(file).result, 2) << "format " << format;
  }
  Bytes plain = WritePx(PxFile{NoisePicture(1, 1, 4, 1), 1});
  PatchLe32(plain, 0, 0x40000001);
  EXPECT_EQ(DecodeMemory(plain).result, 2) << "32-bit pixels";
}

// Truncated files that claim 65,535 × 65,535 pixels: data missing (2)
// whatever the bitmap's size would be.
TEST(Limits, TruncatedFilesClaimingTheLargestSize) {
  Bytes tga = WriteTga(TgaFile{GradientPicture(2, 2, 4)});
  PatchLe16(tga, 12, 0xFFFF);
  PatchLe16(tga, 14, 0xFFFF);
  EXPECT_EQ(DecodeMemory(tga).result, 2) << "TGA";

  LgfFile lgfFile;
  lgfFile.picture = GradientPicture(2, 2, 4);
  Bytes lgf = WriteLgf(lgfFile);
  PatchLe16(lgf, 4, 0xFFFF);
  PatchLe16(lgf, 6, 0xFFFF);
  EXPECT_EQ(DecodeMemory(lgf).result, 2) << "LGF";

  Bytes lff = WriteLff(GradientPicture(2, 2, 3));
  PatchLe16(lff, 12, 0xFFFF);
  PatchLe16(lff, 14, 0xFFFF);
  EXPECT_EQ(DecodeMemory(lff).result, 2) << "LFF";
}

}  // namespace
