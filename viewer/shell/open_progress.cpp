#include "viewer/shell/open_progress.h"

void OpenProgressPolicy::Start(uint64_t now) {
  start_ = now;
  lastPump_ = 0;
  shown_ = false;
  shownPercent_ = kUnknownPercent;
}

// A clock that goes back (or a start in the future) counts as no time
// passed, never as a long open; once shown, as time for the next pump.
OpenProgressPolicy::Action OpenProgressPolicy::Report(uint64_t now, int done, int total) {
  Action action;
  if (!shown_ && (now < start_ || now - start_ < kShowAfter)) return action;
  if (shown_ && now >= lastPump_ && now - lastPump_ < kPumpInterval) return action;
  lastPump_ = now;
  action.pump = true;
  action.percent = Percent(done, total);
  action.show = !shown_ || action.percent != shownPercent_;
  shown_ = true;
  shownPercent_ = action.percent;
  return action;
}

int OpenProgressPolicy::Percent(int done, int total) {
  if (total <= 0) return kUnknownPercent;
  if (done <= 0) return 0;
  if (done >= total) return 100;
  return static_cast<int>(static_cast<int64_t>(done) * 100 / total);
}
