#include "viewer/shell/open_progress.h"

#include <gtest/gtest.h>

namespace {

using Policy = OpenProgressPolicy;

TEST(OpenProgress, NothingForHalfASecondThenShownAndPumpedAtIntervals) {
  Policy policy;
  uint64_t now = 1'000'000;  // a steady clock starts anywhere
  policy.Start(now);
  for (int k = 0; k < 10; ++k) {
    const Policy::Action quiet = policy.Report(now + 49 * k, k, 20);
    EXPECT_FALSE(quiet.pump || quiet.show) << k;
  }
  EXPECT_FALSE(policy.shown());
  now += Policy::kShowAfter;
  Policy::Action first = policy.Report(now, 5, 20);
  EXPECT_TRUE(first.pump);
  EXPECT_TRUE(first.show);
  EXPECT_EQ(first.percent, 25);
  EXPECT_TRUE(policy.shown());
  // A plug-in that reports every row is not slowed by the window.
  EXPECT_FALSE(policy.Report(now + 1, 6, 20).pump);
  EXPECT_FALSE(policy.Report(now + Policy::kPumpInterval - 1, 7, 20).pump);
  // The same share is not written again, a new one is.
  const Policy::Action same = policy.Report(now + Policy::kPumpInterval, 5, 20);
  EXPECT_TRUE(same.pump);
  EXPECT_FALSE(same.show);
  const Policy::Action further = policy.Report(now + 2 * Policy::kPumpInterval, 19, 20);
  EXPECT_TRUE(further.show);
  EXPECT_EQ(further.percent, 95);
}

TEST(OpenProgress, EachOpenStartsAfresh) {
  Policy policy;
  policy.Start(0);
  EXPECT_TRUE(policy.Report(600, 1, 2).show);
  policy.Start(700);
  EXPECT_FALSE(policy.shown());
  EXPECT_FALSE(policy.Report(1100, 1, 2).pump);
  EXPECT_TRUE(policy.Report(1200, 1, 2).show);
}

TEST(OpenProgress, AClockThatGoesBackIsNoLongOpen) {
  Policy policy;
  policy.Start(5000);
  EXPECT_FALSE(policy.Report(100, 1, 2).pump);
  EXPECT_TRUE(policy.Report(5500, 1, 2).pump);
  // Once shown, a step back still pumps (never stops looking for Esc).
  EXPECT_TRUE(policy.Report(5400, 1, 2).pump);
}

TEST(OpenProgress, SharesOfAnyReport) {
  EXPECT_EQ(Policy::Percent(0, 20), 0);
  EXPECT_EQ(Policy::Percent(20, 20), 100);
  EXPECT_EQ(Policy::Percent(1, 3), 33);
  EXPECT_EQ(Policy::Percent(2147483646, 2147483647), 99);  // no overflow
  EXPECT_EQ(Policy::Percent(-5, 20), 0);
  EXPECT_EQ(Policy::Percent(50, 20), 100);
  EXPECT_EQ(Policy::Percent(3, 0), Policy::kUnknownPercent);
  EXPECT_EQ(Policy::Percent(3, -1), Policy::kUnknownPercent);
  Policy policy;
  policy.Start(0);
  EXPECT_EQ(policy.Report(500, 3, 0).percent, Policy::kUnknownPercent);
}

}  // namespace
