// The frame's part in the zoom: the zoom read from the settings file's
// Settings section at start and kept there for the write after the last
// message; and the status bar's part that shows it, to the right of the
// prompts.
#include "viewer/shell/main_frame.h"

#include <commctrl.h>

#include <algorithm>

#include "viewer/resources/resource.h"
#include "viewer/shell/strings.h"

namespace {

// The status bar's part that shows the zoom.
constexpr WPARAM kZoomPart = 1;

}  // namespace

// A value of no step leaves 100 %.
void CMainFrame::LoadZoom() {
  if (const auto choice = ParseZoomSetting(settings_.Get(kZoomKey).value_or(""))) view_.ChooseZoom(*choice);
}

// A file that never had a zoom gets one only once it is not 100 %: a run
// that changed nothing leaves the file as it was.
void CMainFrame::SaveZoom() {
  const bool untouched = view_.zoom().percent() == 100 && !settings_.Get(kZoomKey);
  if (!untouched) settings_.Set(kZoomKey, ZoomSettingText(view_.zoom()));
}

// The zoom's part is as wide as its widest text in the status bar's font,
// with room for the sizing grip; the prompts' part takes the rest.
void CMainFrame::SetStatusParts() {
  if (!statusBar_) return;
  HDC dc = GetDC(statusBar_);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(statusBar_, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (const std::wstring& text : {TextWithNumber(IDS_ZOOM_STATUS, 800), TextWithNumber(IDS_ZOOM_FIT_STATUS, 100)}) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    widest = std::max<int>(widest, size.cx + 2 * size.cy);
  }
  SelectObject(dc, previous);
  ReleaseDC(statusBar_, dc);
  RECT bar = {};
  GetClientRect(statusBar_, &bar);
  int edges[2] = {std::max<int>(0, bar.right - widest - GetSystemMetrics(SM_CXVSCROLL)), -1};
  SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  shownZoom_.clear();
  ShowZoom();
}

// Set only when it changed: the idle refresh asks every time the queue
// runs empty.
void CMainFrame::ShowZoom() {
  const std::wstring text = view_.ZoomText();
  if (!statusBar_ || text == shownZoom_) return;
  shownZoom_ = text;
  SendMessageW(statusBar_, SB_SETTEXTW, kZoomPart, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CMainFrame::ZoomActualChosen() const { return view_.zoom().percent() == 100; }

bool CMainFrame::ZoomFitChosen() const { return view_.zoom().fit(); }
