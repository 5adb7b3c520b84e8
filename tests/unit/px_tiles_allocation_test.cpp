// Allocation failures in the tiled PX decoders: the decoder object, the
// info block and the bits block are made to fail in turn.
#include <gtest/gtest.h>

#include "platform/test_hooks.h"
#include "tests/fixtures/px_tiles_writer.h"
#include "tests/support/plugin_api.h"

namespace {

constexpr int kAllocations = 3;  // decoder object, info block, bits block

void ExpectEachAllocationFailureHandled(const Bytes& file) {
  for (int n = 1; n <= kAllocations + 1; ++n) {
    platform::test::FailAllocationNumber(n);
    const Decoded d = DecodeMemory(file);
    platform::test::FailAllocationNumber(0);
    const int expected = n == 1 ? 2 : n <= kAllocations ? 4 : 0;
    EXPECT_EQ(d.result, expected) << "allocation " << n;
    EXPECT_EQ(d.handed, expected == 0) << "allocation " << n;
    EXPECT_EQ(platform::test::LiveAllocations(), 0) << "allocation " << n;
  }
}

TEST(AllocationFailure, PxTiles) {
  const Picture picture = PatchworkPicture(40, 20, 16, 3);
  ExpectEachAllocationFailureHandled(WritePx4(Px4FromPicture(picture, 16)));
  ExpectEachAllocationFailureHandled(WritePx5(Px5FromFrames({picture, picture}, 16)));
}

}  // namespace
