#include "viewer/shell/open_progress_windows.h"

#include <commctrl.h>

#include "viewer/resources/resource.h"
#include "viewer/shell/strings.h"

namespace {

// A window that never validates itself would keep the loop painting.
constexpr int kMostPaints = 64;

uint64_t Now() { return GetTickCount64(); }

}  // namespace

void WindowOpenProgress::Begin() {
  policy_.Start(Now());
  cancelled_ = false;
}

bool WindowOpenProgress::Report(int done, int total) {
  const OpenProgressPolicy::Action action = policy_.Report(Now(), done, total);
  if (action.show) {
    ShowText(action.percent == OpenProgressPolicy::kUnknownPercent
                 ? LoadText(IDS_OPEN_PROGRESS_UNKNOWN)
                 : TextWithNumber(IDS_OPEN_PROGRESS, action.percent));
  }
  if (action.pump && PumpForEscape()) cancelled_ = true;
  return cancelled_;
}

void WindowOpenProgress::End() {
  if (cancelled_) {
    ShowText(LoadText(IDS_OPEN_CANCELLED));
  } else if (policy_.shown()) {
    ShowText(LoadText(IDS_READY));
  }
}

bool WindowOpenProgress::PumpForEscape() {
  bool escape = false;
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) escape = true;
  }
  for (int k = 0; k < kMostPaints && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++k)
    DispatchMessageW(&message);
  return escape;
}

// Shown at once: the window is not painted otherwise until the open ends.
void WindowOpenProgress::ShowText(const std::wstring& text) {
  if (!statusBar_) return;
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
  UpdateWindow(statusBar_);
}
