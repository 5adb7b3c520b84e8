// When a long open shows its progress and lets the window breathe. The
// plug-in reports through the host's callback; for the first half second
// nothing happens (most pictures are open by then), afterwards the status
// bar shows how far it is, the window repaints and Esc is looked for, at
// most every kPumpInterval so that a plug-in that reports every row is not
// slowed down by the window. Times are milliseconds of any steady clock.
#pragma once

#include <cstdint>

class OpenProgressPolicy {
 public:
  static constexpr uint64_t kShowAfter = 500;
  static constexpr uint64_t kPumpInterval = 50;
  // A report that cannot be read as a share of the whole.
  static constexpr int kUnknownPercent = -1;

  // What a report asks of the window.
  struct Action {
    bool pump = false;  // repaint and look for Esc
    bool show = false;  // show `percent` in the status bar
    int percent = kUnknownPercent;
  };

  // An open starts at `now`.
  void Start(uint64_t now);
  // The plug-in reports `done` of `total` at `now`.
  Action Report(uint64_t now, int done, int total);
  // Whether the status bar shows the progress (and must be put back).
  bool shown() const { return shown_; }

  // How far `done` of `total` is, 0 to 100; kUnknownPercent for a total
  // of 0 or less. A share past the ends is held to them.
  static int Percent(int done, int total);

 private:
  uint64_t start_ = 0;
  uint64_t lastPump_ = 0;
  bool shown_ = false;
  int shownPercent_ = kUnknownPercent;
};
