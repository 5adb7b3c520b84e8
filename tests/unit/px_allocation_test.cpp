// Every allocation of a PX, PX2 or PX3 decode is made to fail in turn.
#include "tests/fixtures/px_writer.h"
#include "tests/support/allocation_failure.h"

namespace {

TEST(AllocationFailure, Px) {
  ExpectEveryAllocationFailureHandled(WritePx(PxFile{NoisePicture(9, 4, 4, 1)}));
  ExpectEveryAllocationFailureHandled(WritePx(PxFile{IndexPicture(9, 4, 16, 2), 7, TestPalette(1)}));
}

TEST(AllocationFailure, Px2) {
  ExpectEveryAllocationFailureHandled(WritePx2(Px2File{WithRunListAlpha(SpritePicture(16, 12))}));
}

// The seeds hold one file of each sub-image kind: 32-bit, 8-bit and indexed.
TEST(AllocationFailure, Px3) {
  for (const auto& seed : PxSeeds()) {
    if (seed.first.rfind("px3-", 0) == 0) ExpectEveryAllocationFailureHandled(seed.second);
  }
}

}  // namespace
