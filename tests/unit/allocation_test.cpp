// Every allocation a decode makes is made to fail in turn: the result is
// OutOfMemory (or UnsupportedFormat when the decoder object itself cannot
// be made), the handles stay untouched and nothing is left allocated.
#include <gtest/gtest.h>

#include "platform/test_hooks.h"
#include "tests/fixtures/tga_writer.h"
#include "tests/support/plugin_api.h"

namespace {

void ExpectEveryAllocationFailureHandled(const Bytes& file) {
  for (int n = 1;; ++n) {
    platform::test::FailAllocationNumber(n);
    const Decoded d = DecodeMemory(file);
    const bool reached = platform::test::AllocationsSoFar() >= n;
    platform::test::FailAllocationNumber(0);
    if (!reached) {
      EXPECT_EQ(d.result, 0) << "with no failure the decode succeeds";
      return;
    }
    EXPECT_EQ(d.result, n == 1 ? 2 : 4) << "allocation " << n;
    EXPECT_FALSE(d.handed);
    EXPECT_EQ(platform::test::LiveAllocations(), 0) << "allocation " << n;
  }
}

TEST(AllocationFailure, Tga) {
  ExpectEveryAllocationFailureHandled(WriteTga(TgaFile{NoisePicture(9, 4, 3, 1)}));
  ExpectEveryAllocationFailureHandled(WriteTga(TgaFile{IndexPicture(9, 4, 16, 2), TestPalette(1), 16, 24}));
}

TEST(AllocationFailure, Bbm) {
  BbmFile bbm;
  bbm.indices = IndexPicture(32, 16, 50, 3);
  bbm.palette = TestPalette(3);
  ExpectEveryAllocationFailureHandled(WriteBbm(bbm));
}

}  // namespace
