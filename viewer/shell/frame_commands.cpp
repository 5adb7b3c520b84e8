// The frame's own commands: opening, the recent entries, New, Exit, the
// bars' switches and About, as the command table lists them.
#include "viewer/shell/main_frame.h"

#include <commctrl.h>

#include "platform/windows/text.h"
#include "viewer/engine/path_text.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/about_dlg.h"
#include "viewer/shell/command_table.h"
#include "viewer/shell/open_dialog.h"
#include "viewer/shell/profile_windows.h"
#include "viewer/shell/strings.h"

// The frame runs its own rows of the command table; every other command
// goes on to the view, also one the view ignores.
bool CMainFrame::OnFrameCommand(UINT id) {
  const Command* command = FindCommand(id);
  if (!command || !command->onFrame) return false;
  const ImageDocument& document = view_.document();
  if (NeedsMet(command->needs, document.HasForeground(), document.HasBackground())) (this->*command->onFrame)(id);
  return true;
}

void CMainFrame::ReportFailure(UINT id, SpiResult result, const std::string& caption) {
  if (OpenCancelled(result)) return;
  ReportCommandFailure(hwnd(), id, static_cast<int32_t>(result), platform::Utf16(caption));
}

// A plug-in that answers Aborted of its own accord is reported as any
// other failure; only the user's Esc is not.
bool CMainFrame::OpenCancelled(SpiResult result) const {
  return result == SpiResult::Aborted && openProgress_.cancelled();
}

void CMainFrame::OnOpen(UINT id) {
  const bool background = id == ID_FILE_OPEN_BACKGROUND;
  const auto chosen =
      RunOpenDialog(hwnd(), background ? IDS_OPEN_BACKGROUND_TITLE : IDS_OPEN_FOREGROUND_TITLE, view_.plugins());
  if (!chosen) return;
  const char* path = chosen->path.c_str();  // UTF-8
  const SpiResult result = id == ID_FILE_FORCE_FOREGROUND ? view_.ForceForeground(path)
                           : background                   ? view_.OpenImage(path, kMayBeBackground)
                                                          : view_.OpenImage(path, kMayBeForeground);
  if (result != SpiResult::Ok) return ReportFailure(id, result, chosen->title);
  (background ? recentBackgrounds_ : recentForegrounds_).Add(chosen->path);
  view_.RefreshCaption();
}

// Recent foregrounds reopen through the forcing path, whichever command
// first opened them: a picture without alpha comes back keyed.
void CMainFrame::OnRecentForeground(UINT id) { ReopenRecent(recentForegrounds_, id, true); }

void CMainFrame::OnRecentBackground(UINT id) { ReopenRecent(recentBackgrounds_, id, false); }

// An entry that no longer opens is reported and leaves the list; one that
// opens moves to the top.
void CMainFrame::ReopenRecent(RecentImageList& list, UINT id, bool foreground) {
  const auto path = list.Get(id);
  if (!path) return;
  const SpiResult result =
      foreground ? view_.ForceForeground(path->c_str()) : view_.OpenImage(path->c_str(), kMayBeBackground);
  if (result != SpiResult::Ok) {
    ReportFailure(id, result, FileNamePart(*path));
    // An open the user stopped says nothing of the file: it stays.
    if (!OpenCancelled(result)) list.Remove(id);
    return;
  }
  list.Promote(id);
  view_.RefreshCaption();
}

void CMainFrame::OnExit(UINT) { PostMessageW(hwnd(), WM_CLOSE, 0, 0); }

void CMainFrame::OnToolbar(UINT) {
  toolbarShown_ = !toolbarShown_;
  ShowToolbarBand(toolbarShown_);
  Layout();
}

void CMainFrame::OnStatusBar(UINT) {
  const bool show = !IsWindowVisible(statusBar_);
  ShowWindow(statusBar_, show ? SW_SHOWNOACTIVATE : SW_HIDE);
  Layout();
}

void CMainFrame::OnNew(UINT) {
  view_.ClearImages();
  view_.RefreshCaption();
}

void CMainFrame::OnAbout(UINT) {
  CAboutDlg about;
  about.DoModal(GetActiveWindow());
}

// Nothing is written while the program runs: the lists and the Settings
// section (the language and the zoom) go to the settings file once, after
// the frame's last message.
void CMainFrame::OnFinalMessage() {
  const std::string settings = ModuleSettingsFiles().write;
  MakeFolderFor(settings);
  WindowsSectionWriter writer;
  recentBackgrounds_.SaveToSettings(writer, settings, kRecentBackgroundSection);
  recentForegrounds_.SaveToSettings(writer, settings, kRecentForegroundSection);
  SaveZoom();
  settings_.Save(writer, settings);
}

