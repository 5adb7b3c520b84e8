#include "viewer/shell/scroll_model.h"

#include <gtest/gtest.h>

namespace {

TEST(WheelScrollStep, LinesTimesTheLineStepPerNotch) {
  EXPECT_EQ(WheelScrollStep(120, 3, 10, 50), -30) << "away from the user: up";
  EXPECT_EQ(WheelScrollStep(-120, 3, 10, 50), 30);
  EXPECT_EQ(WheelScrollStep(-240, 3, 10, 50), 60) << "two notches at once";
  EXPECT_EQ(WheelScrollStep(-40, 3, 10, 50), 10) << "a third of a notch from a fine wheel";
  EXPECT_EQ(WheelScrollStep(-120, 0, 10, 50), 0) << "wheel scrolling switched off";
}

// "One screen at a time": a page step per notch, in the wheel's direction.
TEST(WheelScrollStep, PageScrollSettingMovesAPage) {
  EXPECT_EQ(WheelScrollStep(-120, kWheelPageScroll, 10, 50), 50);
  EXPECT_EQ(WheelScrollStep(120, kWheelPageScroll, 10, 50), -50);
}

TEST(WheelScrollStep, LargeSettingsAreHeldNotWrapped) {
  EXPECT_EQ(WheelScrollStep(-120, 0xFFFFFFFE, 100000, 50), INT32_MAX);
  EXPECT_EQ(WheelScrollStep(120, 0x7FFFFFFF, 0x7FFFFFFF, 50), -INT32_MAX);
  EXPECT_EQ(WheelScrollStep(-32768, 1000000, 1000, 50), INT32_MAX);
}

}  // namespace
