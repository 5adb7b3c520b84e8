// Progress in tests: a callback that records every call and asks to stop
// at a chosen one (pass the Calls record as the user data), and the check
// that a decode reports its stages and stops at each of them.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/support/plugin_api.h"

struct Calls {
  std::vector<std::pair<int, int>> seen;
  int stopAt = -1;  // the call, counting from 0, that answers non-zero
};

inline int SPI_CALL Record(int numerator, int denominator, SpiLongPtr userData) {
  auto* calls = reinterpret_cast<Calls*>(userData);
  calls->seen.emplace_back(numerator, denominator);
  return static_cast<int>(calls->seen.size()) - 1 == calls->stopAt;
}

// A decode of `file` reports (0, stages) to (stages, stages), and stopping
// at any of those calls ends it with 1 at once, handing nothing over.
inline void ExpectStagesThatCanStop(const Bytes& file, int stages) {
  Calls all;
  ASSERT_EQ(DecodeMemory(file, Record, reinterpret_cast<SpiLongPtr>(&all)).result, 0);
  std::vector<std::pair<int, int>> expected;
  for (int k = 0; k <= stages; ++k) expected.emplace_back(k, stages);
  EXPECT_EQ(all.seen, expected);
  for (int stop = 0; stop <= stages; ++stop) {
    Calls calls;
    calls.stopAt = stop;
    const Decoded d = DecodeMemory(file, Record, reinterpret_cast<SpiLongPtr>(&calls));
    EXPECT_EQ(d.result, 1);
    EXPECT_FALSE(d.handed);
    EXPECT_EQ(calls.seen.size(), static_cast<size_t>(stop + 1));
  }
}
