// PageDown and PageUp: the next or previous picture in the folder of the
// foreground (with Ctrl, of the background), opened the way the current
// one was. Pictures no plug-in opens are stepped over with a note in the
// status bar; at the end of the folder the step stops with a note.
#include "viewer/shell/main_frame.h"
// After windows.h, on which it builds.
#include <commctrl.h>

#include "platform/windows/text.h"
#include "viewer/engine/path_text.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/folder_listing_windows.h"
#include "viewer/shell/folder_order.h"
#include "viewer/shell/open_dialog.h"
#include "viewer/shell/strings.h"

namespace {

bool ForForeground(UINT id) { return id == ID_BROWSE_NEXT_FOREGROUND || id == ID_BROWSE_PREVIOUS_FOREGROUND; }

Step StepOf(UINT id) {
  return id == ID_BROWSE_NEXT_FOREGROUND || id == ID_BROWSE_NEXT_BACKGROUND ? Step::Next : Step::Previous;
}

std::wstring JoinNames(const std::vector<std::string>& names) {
  std::wstring joined;
  for (const std::string& name : names) joined += (joined.empty() ? L"" : L", ") + platform::Utf16(name);
  return joined;
}

}  // namespace

// The command table runs it only with the picture it needs; without one
// from a file (a pasted one) it does nothing either. A step the user
// stops with Esc ends there, with the progress's own note.
void CMainFrame::OnBrowse(UINT id) {
  const bool foreground = ForForeground(id);
  const std::optional<CTrellinView::Source>& source =
      foreground ? view_.foregroundSource() : view_.backgroundSource();
  if (!source) return;
  // A name without a folder (a recent entry edited by hand) has no folder
  // to step through.
  const std::string folder = source->path.substr(0, FileNameStart(source->path));
  if (folder.empty()) return;
  const std::vector<std::string> pictures =
      PicturesInOrder(FilesInFolder(folder), PicturePatternsFor(view_.plugins()));
  std::string current = source->path.substr(folder.size());
  std::vector<std::string> skipped;
  for (;;) {
    const std::optional<std::string> beside = PictureBeside(pictures, current, StepOf(id));
    if (!beside) {
      const std::wstring end = LoadText(StepOf(id) == Step::Next ? IDS_BROWSE_LAST : IDS_BROWSE_FIRST);
      ShowNote(skipped.empty() ? end : FillText(LoadText(IDS_BROWSE_SKIPPED), {JoinNames(skipped)}) + L"  " + end);
      return;
    }
    const std::string path = folder + *beside;
    const SpiResult result = view_.OpenLikeCurrent(path, foreground);
    if (result == SpiResult::Ok) {
      (foreground ? recentForegrounds_ : recentBackgrounds_).Add(path);
      view_.RefreshCaption();
      ShowNote(skipped.empty() ? LoadText(IDS_READY) : FillText(LoadText(IDS_BROWSE_SKIPPED), {JoinNames(skipped)}));
      return;
    }
    if (OpenCancelled(result)) return;
    skipped.push_back(*beside);
    current = *beside;
  }
}

void CMainFrame::ShowNote(const std::wstring& text) {
  if (statusBar_) SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
