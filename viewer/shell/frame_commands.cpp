// The frame's own commands: opening, the recent entries, New, Exit, the
// bars' switches and About; every other command goes on to the view.
#include "viewer/shell/main_frame.h"

#include <commctrl.h>

#include "platform/windows/text.h"
#include "viewer/engine/output_rules.h"
#include "viewer/engine/path_text.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/about_dlg.h"
#include "viewer/shell/open_dialog.h"
#include "viewer/shell/profile_windows.h"
#include "viewer/shell/strings.h"

namespace {

bool IsRecentForeground(WORD id) { return id >= ID_RECENT_FOREGROUND_FIRST && id <= ID_RECENT_FOREGROUND_LAST; }
bool IsRecentBackground(WORD id) { return id >= ID_RECENT_BACKGROUND_FIRST && id <= ID_RECENT_BACKGROUND_LAST; }

}  // namespace

bool CMainFrame::OnFrameCommand(WORD id) {
  switch (id) {
    case ID_FILE_NEW:
      OnNew();
      return true;
    case ID_FILE_OPEN_FOREGROUND:
    case ID_FILE_FORCE_FOREGROUND:
    case ID_FILE_OPEN_BACKGROUND:
      OnOpen(id);
      return true;
    case ID_APP_EXIT:
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case ID_VIEW_TOOLBAR:
      OnToolbar();
      return true;
    case ID_VIEW_STATUS_BAR:
      OnStatusBar();
      return true;
    case ID_APP_ABOUT:
      OnAbout();
      return true;
    case ID_BROWSE_NEXT_FOREGROUND:
    case ID_BROWSE_PREVIOUS_FOREGROUND:
    case ID_BROWSE_NEXT_BACKGROUND:
    case ID_BROWSE_PREVIOUS_BACKGROUND:
      OnBrowse(id);
      return true;
  }
  if (IsRecentForeground(id)) {
    OnRecentForeground(id);
    return true;
  }
  if (IsRecentBackground(id)) {
    OnRecentBackground(id);
    return true;
  }
  return false;
}

void CMainFrame::OnOpen(WORD id) {
  const bool background = id == ID_FILE_OPEN_BACKGROUND;
  const auto chosen =
      RunOpenDialog(hwnd(), background ? IDS_OPEN_BACKGROUND_TITLE : IDS_OPEN_FOREGROUND_TITLE, view_.plugins());
  if (!chosen) return;
  const char* path = chosen->path.c_str();  // UTF-8
  const SpiResult result = id == ID_FILE_FORCE_FOREGROUND ? view_.ForceForeground(path)
                           : background                   ? view_.OpenImage(path, kMayBeBackground)
                                                          : view_.OpenImage(path, kMayBeForeground);
  if (result != SpiResult::Ok) return ShowOpenFailure(result, !background, chosen->title);
  (background ? recentBackgrounds_ : recentForegrounds_).Add(chosen->path);
  view_.RefreshCaption();
}

// Recent foregrounds reopen through the forcing path, whichever command
// first opened them: a picture without alpha comes back keyed.
void CMainFrame::OnRecentForeground(WORD id) { ReopenRecent(recentForegrounds_, id, true); }

void CMainFrame::OnRecentBackground(WORD id) { ReopenRecent(recentBackgrounds_, id, false); }

// An entry that no longer opens is reported and leaves the list; one that
// opens moves to the top.
void CMainFrame::ReopenRecent(RecentImageList& list, WORD id, bool foreground) {
  const auto path = list.Get(id);
  if (!path) return;
  const SpiResult result =
      foreground ? view_.ForceForeground(path->c_str()) : view_.OpenImage(path->c_str(), kMayBeBackground);
  if (result != SpiResult::Ok) {
    ShowOpenFailure(result, foreground, FileNamePart(*path));
    // An open the user stopped says nothing of the file: it stays.
    if (!(result == SpiResult::Aborted && openProgress_.cancelled())) list.Remove(id);
    return;
  }
  list.Promote(id);
  view_.RefreshCaption();
}

void CMainFrame::OnToolbar() {
  toolbarShown_ = !toolbarShown_;
  ShowToolbarBand(toolbarShown_);
  Layout();
}

void CMainFrame::OnStatusBar() {
  const bool show = !IsWindowVisible(statusBar_);
  ShowWindow(statusBar_, show ? SW_SHOWNOACTIVATE : SW_HIDE);
  Layout();
}

void CMainFrame::OnNew() {
  view_.ClearImages();
  view_.RefreshCaption();
}

void CMainFrame::OnAbout() {
  CAboutDlg about;
  about.DoModal(GetActiveWindow());
}

// A read error of the plug-in has a message of its own, and so has a
// shortage of memory (the picture is not broken: with memory to spare it
// opens); every other code says the picture is broken or of the wrong kind
// for the command.
void CMainFrame::ShowOpenFailure(SpiResult result, bool foreground, const std::string& caption) {
  if (result == SpiResult::Aborted && openProgress_.cancelled()) return;
  const UINT text = result == SpiResult::FileReadError ? IDS_IMAGE_UNREADABLE
                    : result == SpiResult::OutOfMemory
                        ? IDS_WRITER_RESULT_FIRST + ResultTextIndex(static_cast<int32_t>(SpiResult::OutOfMemory))
                    : foreground ? IDS_BROKEN_OR_NO_ALPHA
                                 : IDS_BROKEN_OR_ALPHA_BACKGROUND;
  MessageBoxW(hwnd(), LoadText(text).c_str(), platform::Utf16(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

// Nothing is written while the program runs: the lists go to the settings
// file once, after the frame's last message.
void CMainFrame::OnFinalMessage() {
  const std::string settings = ModuleSettingsFiles().write;
  MakeFolderFor(settings);
  WindowsSectionWriter writer;
  recentBackgrounds_.SaveToSettings(writer, settings, kRecentBackgroundSection);
  recentForegrounds_.SaveToSettings(writer, settings, kRecentForegroundSection);
}

