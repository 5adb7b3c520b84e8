// Every allocation a decode makes is made to fail in turn: the result is
// OutOfMemory (or UnsupportedFormat when the decoder object itself cannot
// be made), the handles stay untouched and nothing is left allocated.
#pragma once

#include <gtest/gtest.h>

#include "platform/test_hooks.h"
#include "tests/support/plugin_api.h"

inline void ExpectEveryAllocationFailureHandled(const Bytes& file) {
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
