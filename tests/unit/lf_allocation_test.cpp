// LFB, LFF, LCF and LGF decodes under every allocation failure.
#include "tests/fixtures/lf_writer.h"
#include "tests/support/allocation_failure.h"

namespace {

TEST(AllocationFailure, Lfb) {
  ExpectEveryAllocationFailureHandled(WriteLfb(WriteBitmapFile(BitmapOf(NoisePicture(9, 4, 3, 1)))));
  ExpectEveryAllocationFailureHandled(
      WriteLfb(WriteBitmapFile(BitmapOf(IndexPicture(9, 4, 16, 2), TestPalette(2), 16))));
  ExpectEveryAllocationFailureHandled(WriteLfb(WriteBitmapFile(AlphaFormOf(NoisePicture(9, 4, 2, 3), TestPalette(3)))));
}

TEST(AllocationFailure, LffAndLcf) {
  ExpectEveryAllocationFailureHandled(WriteLff(NoisePicture(9, 4, 3, 4)));
  ExpectEveryAllocationFailureHandled(WriteLcf(LcfFile{SpritePicture(12, 10)}));
}

TEST(AllocationFailure, Lgf) {
  ExpectEveryAllocationFailureHandled(WriteLgf(LgfFile{IndexPicture(9, 4, 16, 5), TestPalette(5), 8}));
  ExpectEveryAllocationFailureHandled(WriteLgf(LgfFile{IndexPicture(9, 4, 16, 5), TestPalette(5), 9}));
  ExpectEveryAllocationFailureHandled(WriteLgf(LgfFile{NoisePicture(9, 4, 3, 6)}));
}

// What is alive each time the host hears of a stage: the decoder object,
// working buffers and blocks, in the order each format makes them.
int SPI_CALL CountLive(int, int, SpiLongPtr userData) {
  reinterpret_cast<std::vector<int>*>(userData)->push_back(platform::test::LiveAllocations());
  return 0;
}

std::vector<int> LiveAtEachStage(const Bytes& file) {
  std::vector<int> live;
  EXPECT_EQ(DecodeMemory(file, CountLive, reinterpret_cast<SpiLongPtr>(&live)).result, 0);
  return live;
}

TEST(AllocationOrder, BlocksAreMadeBetweenTheStages) {
  using Live = std::vector<int>;
  EXPECT_EQ(LiveAtEachStage(WriteLfb(WriteBitmapFile(BitmapOf(NoisePicture(9, 4, 3, 7))))), (Live{1, 2, 4}));
  EXPECT_EQ(LiveAtEachStage(WriteLff(NoisePicture(9, 4, 3, 7))), (Live{1, 2, 3}));
  EXPECT_EQ(LiveAtEachStage(WriteLcf(LcfFile{SpritePicture(12, 10)})), (Live{1, 2, 4}));
  EXPECT_EQ(LiveAtEachStage(WriteLgf(LgfFile{NoisePicture(9, 4, 3, 7)})), (Live{1, 1, 3}))
      << "nothing but the decoder before the second stage";
}

}  // namespace
