// A progress callback for tests: it records every call and asks to stop
// at the chosen one. Its user data is the ProgressLog.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/support/plugin_api.h"

struct ProgressLog {
  std::vector<std::pair<int, int>> seen;
  int stopAt = -1;  // the call (counting from 0) that answers "stop"
  SpiLongPtr userData() { return reinterpret_cast<SpiLongPtr>(this); }
};

inline int SPI_CALL RecordProgress(int numerator, int denominator, SpiLongPtr userData) {
  auto* log = reinterpret_cast<ProgressLog*>(userData);
  log->seen.emplace_back(numerator, denominator);
  return static_cast<int>(log->seen.size()) - 1 == log->stopAt;
}

// A decoder of one stage asks (0, 1) before and (1, 1) after decoding; a
// stop at either call gives Aborted, hands nothing over and asks no more.
inline void ExpectOneStageProgress(const Bytes& file) {
  ProgressLog all;
  EXPECT_EQ(DecodeMemory(file, RecordProgress, all.userData()).result, 0);
  EXPECT_EQ(all.seen, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
  for (int stop : {0, 1}) {
    ProgressLog log;
    log.stopAt = stop;
    const Decoded d = DecodeMemory(file, RecordProgress, log.userData());
    EXPECT_EQ(d.result, 1);
    EXPECT_FALSE(d.handed);
    EXPECT_EQ(log.seen.size(), static_cast<size_t>(stop + 1));
  }
}
