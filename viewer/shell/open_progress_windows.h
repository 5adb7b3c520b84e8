// A long open as the user sees it: after half a second the status bar
// shows how far the plug-in is, the windows repaint and Esc stops it.
// Everything stays on the one thread: while the plug-in works, only
// painting runs. Keys are taken out of the queue (Esc stops the open,
// every other key is dropped, so no key runs a command meanwhile or
// piles up to run after it); every other message (a click, a command, a
// dropped file) waits in the queue until the open is over, so nothing can
// start a second open inside the first. A plug-in that never calls back
// cannot be stopped: the window then stays as it is until it ends.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/engine/decode_progress.h"
#include "viewer/shell/open_progress.h"

class WindowOpenProgress final : public DecodeProgress {
 public:
  // The status bar that shows the progress; none shows nothing.
  void SetStatusBar(HWND statusBar) { statusBar_ = statusBar; }

  void Begin() override;
  bool Report(int done, int total) override;
  // Puts the status bar back to "Ready", or notes that the open was
  // stopped.
  void End() override;

  // Whether the last open was stopped by the user.
  bool cancelled() const { return cancelled_; }

  // The loop that runs while the plug-in works: repaints, and true when
  // Esc was pressed since the last look.
  static bool PumpForEscape();

 private:
  void ShowText(const std::wstring& text);

  OpenProgressPolicy policy_;
  HWND statusBar_ = nullptr;
  bool cancelled_ = false;
};
