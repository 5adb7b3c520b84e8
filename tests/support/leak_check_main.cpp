// Native test entry: after every test, nothing the plug-in allocated may
// still be alive, and allocation failures are switched off again.
#include <gtest/gtest.h>

#include "platform/test_hooks.h"

namespace {

class LeakCheck : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { baseline_ = platform::test::LiveAllocations(); }
  void OnTestEnd(const testing::TestInfo&) override {
    platform::test::FailAllocationNumber(0);
    EXPECT_EQ(platform::test::LiveAllocations(), baseline_) << "blocks or buffers left allocated";
  }
  int baseline_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // A 32-bit process seldom has a quarter of its address space free in one
  // piece; blocks that large are refused here as such a heap would refuse
  // them (and as the sanitizer's own allocator, under the i386 emulator,
  // cannot place them).
  if (sizeof(void*) == 4) platform::test::SetAllocationLimit(size_t{256} << 20);
  testing::UnitTest::GetInstance()->listeners().Append(new LeakCheck);
  return RUN_ALL_TESTS();
}
