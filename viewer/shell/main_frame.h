// The program's one top-level window: the menu bar, the toolbar in a
// rebar, the status bar and the image view as client window. It owns the
// two recent-image lists, runs its own commands (opening, the recent
// entries, New, Exit, the bar switches, About; frame_commands.cpp) and
// passes every other command on to the view. Its bars are in
// frame_bars.cpp.
//
// The menu is the frame's own menu bar rather than a toolbar-like command
// bar: Windows then gives Alt, F10, mnemonics, moving between the menus
// with the arrow keys and every accessibility tool's view of the menu by
// itself, with no keyboard or mouse hook of ours. The rebar holds the
// toolbar as its one band, with the band identifier 60161.
#pragma once

#include <windows.h>

#include "viewer/shell/command_table.h"
#include "viewer/shell/open_progress_windows.h"
#include "viewer/shell/language.h"
#include "viewer/shell/recent_image_list.h"
#include "viewer/shell/recent_menu_windows.h"
#include "viewer/shell/settings_section.h"
#include "viewer/shell/trellin_view.h"
#include "viewer/shell/window.h"

// The rebar band that holds the toolbar.
inline constexpr UINT kToolbarBandId = 60161;

// The system's status-bar font at a display scale. Windows 10 before 1607
// gives its metrics at the system's own scale only, whatever the window's
// display; they are scaled to `dpi` then, as they are with `perDpiCall`
// false (which tests that way).
bool StatusFontAt(UINT dpi, bool perDpiCall, LOGFONTW* font);

class CMainFrame : public Window, public MessageFilter, public IdleHandler {
 public:
  // The view decodes through the plug-ins and writes through the writer,
  // both found and bound before the frame is made.
  CMainFrame(MessageLoop& loop, PluginList& plugins, PictureWriter& writer) : loop_(loop), view_(plugins, writer) {}
  ~CMainFrame() override;

  // The frame window with its caption, menu and keys; null on failure.
  HWND Create();

  bool PreTranslateMessage(MSG* message) override;
  void OnIdle() override;

  CTrellinView& view() { return view_; }
  HWND rebar() const { return rebar_; }
  HWND toolbar() const { return toolbar_; }
  HWND statusBar() const { return statusBar_; }
  RecentImageList& recentForegrounds() { return recentForegrounds_; }
  RecentImageList& recentBackgrounds() { return recentBackgrounds_; }
  const WindowOpenProgress& openProgress() const { return openProgress_; }

  // Shows every text in the language from now on, the menu bar at once
  // (frame_language.cpp), and keeps the choice for the next start.
  void ChangeLanguage(Language language);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Saves both recent lists once the window is gone.
  void OnFinalMessage() override;

 private:
  LRESULT OnCreate();
  // The toolbar and status bar at the window's display scale.
  void CreateBars();
  // For a display scale, in dots per inch.
  void CreateToolbarBand(UINT dpi);
  void CreateToolbar(UINT dpi);
  void CreateRebar();
  void ShowToolbarBand(bool show);
  void CreateStatusBar();
  void SetStatusFont(UINT dpi);
  void OnDpiChanged(UINT dpi, const RECT& proposed);
  void LoadRecentLists();
  // Binds the lists to their submenus in the menu bar.
  void BindRecentLists();
  // The Settings section, and the language it names or the system's.
  void LoadSettings();
  // The menu bar of the language shown, its languages marked as choices.
  HMENU LanguageMenu() const;
  void Layout();
  // Check marks and the like, by one rule (main_frame.cpp).
  void UpdateCommandState();
  void OnMenuSelect(WPARAM wParam, LPARAM lParam);
  // The zoom (frame_zoom.cpp): kept in the settings file, shown in the
  // status bar's second part.
  void LoadZoom();
  void SaveZoom();
  void SetStatusParts();
  void ShowZoom();
  // The check marks of the zooms that stay chosen: 100 % and fitting.
  bool ZoomActualChosen() const;
  bool ZoomFitChosen() const;
  bool OnNotify(const NMHDR& header);

  // Runs the command when it is one of the frame's rows of the command
  // table (frame_commands.cpp); false for every other command.
  bool OnFrameCommand(UINT id);
  // The frame's handlers, each given its command's identifier.
  void OnOpen(UINT id);
  void OnRecentForeground(UINT id);
  void OnRecentBackground(UINT id);
  void ReopenRecent(RecentImageList& list, UINT id, bool foreground);
  void OnExit(UINT id);
  void OnToolbar(UINT id);
  void OnStatusBar(UINT id);
  void OnNew(UINT id);
  void OnAbout(UINT id);
  void OnLanguage(UINT id);
  // The check marks of the bar switches.
  bool ToolbarShown() const { return toolbarShown_; }
  bool StatusBarShown() const;
  // The next or previous picture in the folder (frame_browse.cpp).
  void OnBrowse(UINT id);
  // A note in the status bar, in place of "Ready".
  void ShowNote(const std::wstring& text);
  // The mark of the language shown.
  bool ShowsJapanese() const;
  bool ShowsEnglish() const;
  // The command's failure message, owned by the frame; none for an open
  // the user stopped, which the status bar notes.
  void ReportFailure(UINT id, SpiResult result, const std::string& caption);
  // Whether the last open was stopped by the user.
  bool OpenCancelled(SpiResult result) const;
  friend const std::vector<Command>& CommandTable();

  MessageLoop& loop_;
  HWND rebar_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND statusBar_ = nullptr;
  HFONT statusFont_ = nullptr;
  std::wstring shownZoom_;
  CTrellinView view_;
  RecentImageList recentForegrounds_ = RecentImageList::Foregrounds(SameFilePath);
  RecentImageList recentBackgrounds_ = RecentImageList::Backgrounds(SameFilePath);
  HACCEL accelerators_ = nullptr;
  WindowOpenProgress openProgress_;
  SettingsSection settings_;
  // Whether the toolbar band shows: one flag for the process.
  static bool toolbarShown_;
};
