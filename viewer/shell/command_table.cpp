#include "viewer/shell/command_table.h"

#include "viewer/resources/resource.h"
#include "viewer/shell/main_frame.h"
#include "viewer/shell/strings.h"
#include "viewer/shell/trellin_view.h"

namespace {

Command FrameRow(UINT first, UINT last, void (CMainFrame::*handler)(UINT), FailureText failure = FailureText::None,
                 bool (CMainFrame::*checked)() const = nullptr) {
  return {first, last, Runs::Frame, Needs::Nothing, handler, nullptr, failure, checked};
}
Command FrameRow(UINT id, void (CMainFrame::*handler)(UINT), FailureText failure = FailureText::None,
                 bool (CMainFrame::*checked)() const = nullptr) {
  return FrameRow(id, id, handler, failure, checked);
}
// A frame command that does nothing without the picture it needs.
Command FrameRowNeeding(UINT first, UINT last, Needs needs, void (CMainFrame::*handler)(UINT)) {
  return {first, last, Runs::Frame, needs, handler, nullptr, FailureText::None, nullptr};
}
Command ViewRow(UINT id, Needs needs, void (CTrellinView::*handler)(UINT), FailureText failure = FailureText::None,
                bool (CMainFrame::*checked)() const = nullptr) {
  return {id, id, Runs::View, needs, nullptr, handler, failure, checked};
}
Command NobodysRow(UINT id) { return {id, id, Runs::Nobody, Needs::Nothing, nullptr, nullptr, FailureText::None, nullptr}; }

}  // namespace

const std::vector<Command>& CommandTable() {
  static const std::vector<Command> table = {
      // File
      FrameRow(ID_FILE_NEW, &CMainFrame::OnNew),
      FrameRow(ID_FILE_OPEN_FOREGROUND, &CMainFrame::OnOpen, FailureText::OpenForeground),
      FrameRow(ID_FILE_OPEN_BACKGROUND, &CMainFrame::OnOpen, FailureText::OpenBackground),
      FrameRow(ID_FILE_FORCE_FOREGROUND, &CMainFrame::OnOpen, FailureText::OpenForeground),
      // The folder's next and previous picture: stepped over when it does
      // not open, so no failure text.
      FrameRowNeeding(ID_BROWSE_NEXT_FOREGROUND, ID_BROWSE_PREVIOUS_FOREGROUND, Needs::Foreground,
                      &CMainFrame::OnBrowse),
      FrameRowNeeding(ID_BROWSE_NEXT_BACKGROUND, ID_BROWSE_PREVIOUS_BACKGROUND, Needs::Background,
                      &CMainFrame::OnBrowse),
      ViewRow(ID_FILE_SAVE_COMPOSITE, Needs::Foreground, &CTrellinView::SaveComposite, FailureText::WriterResult),
      ViewRow(ID_WALLPAPER_CENTRE, Needs::AnyPicture, &CTrellinView::SetWallpaper, FailureText::Wallpaper),
      ViewRow(ID_WALLPAPER_TILE, Needs::AnyPicture, &CTrellinView::SetWallpaper, FailureText::Wallpaper),
      ViewRow(ID_WALLPAPER_STRETCH, Needs::AnyPicture, &CTrellinView::SetWallpaper, FailureText::Wallpaper),
      ViewRow(ID_FILE_PRINT, Needs::AnyPicture, &CTrellinView::Print),
      // Recent foregrounds reopen through the forcing path, whichever
      // command first opened them.
      FrameRow(ID_RECENT_FOREGROUND_FIRST, ID_RECENT_FOREGROUND_LAST, &CMainFrame::OnRecentForeground,
               FailureText::OpenForeground),
      FrameRow(ID_RECENT_BACKGROUND_FIRST, ID_RECENT_BACKGROUND_LAST, &CMainFrame::OnRecentBackground,
               FailureText::OpenBackground),
      FrameRow(ID_APP_EXIT, &CMainFrame::OnExit),
      // Edit
      ViewRow(ID_EDIT_COPY_COMPOSITE, Needs::AnyPicture, &CTrellinView::CopyComposite),
      ViewRow(ID_EDIT_PASTE, Needs::Nothing, &CTrellinView::PasteImage),
      // View
      ViewRow(ID_VIEW_CENTRE_FOREGROUND, Needs::Foreground, &CTrellinView::OnCentreForeground),
      // Zooming needs no picture: the zoom chosen shows the next one.
      ViewRow(ID_VIEW_ZOOM_IN, Needs::Nothing, &CTrellinView::OnZoomCommand),
      ViewRow(ID_VIEW_ZOOM_OUT, Needs::Nothing, &CTrellinView::OnZoomCommand),
      ViewRow(ID_VIEW_ZOOM_ACTUAL, Needs::Nothing, &CTrellinView::OnZoomCommand, FailureText::None,
              &CMainFrame::ZoomActualChosen),
      ViewRow(ID_VIEW_ZOOM_FIT, Needs::Nothing, &CTrellinView::OnZoomCommand, FailureText::None,
              &CMainFrame::ZoomFitChosen),
      FrameRow(ID_VIEW_TOOLBAR, &CMainFrame::OnToolbar, FailureText::None, &CMainFrame::ToolbarShown),
      FrameRow(ID_VIEW_STATUS_BAR, &CMainFrame::OnStatusBar, FailureText::None, &CMainFrame::StatusBarShown),
      FrameRow(ID_VIEW_LANGUAGE_JAPANESE, &CMainFrame::OnLanguage, FailureText::None, &CMainFrame::ShowsJapanese),
      FrameRow(ID_VIEW_LANGUAGE_ENGLISH, &CMainFrame::OnLanguage, FailureText::None, &CMainFrame::ShowsEnglish),
      // Help
      FrameRow(ID_APP_ABOUT, &CMainFrame::OnAbout),
      // Keys and a button that by design do nothing.
      NobodysRow(ID_EDIT_CUT),
      NobodysRow(ID_EDIT_UNDO),
      NobodysRow(ID_NEXT_PANE),
      NobodysRow(ID_PREV_PANE),
  };
  return table;
}

const Command* FindCommand(UINT id) {
  for (const Command& command : CommandTable())
    if (id >= command.first && id <= command.last) return &command;
  return nullptr;
}

void ReportFailure(HWND owner, FailureText failure, int32_t code, const std::wstring& caption) {
  const unsigned text = FailureMessageId(failure, code);
  if (text != 0) MessageBoxW(owner, LoadText(text).c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

void ReportCommandFailure(HWND owner, UINT id, int32_t code, const std::wstring& caption) {
  if (const Command* command = FindCommand(id)) ReportFailure(owner, command->failure, code, caption);
}
