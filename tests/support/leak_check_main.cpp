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
  testing::UnitTest::GetInstance()->listeners().Append(new LeakCheck);
  return RUN_ALL_TESTS();
}
