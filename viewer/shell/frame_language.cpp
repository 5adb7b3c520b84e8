// The language of the frame's texts: chosen at start from the settings
// file or the system, changed from the View menu without a restart.
#include "viewer/shell/main_frame.h"

#include <commctrl.h>

#include "viewer/resources/resource.h"
#include "viewer/shell/profile_windows.h"
#include "viewer/shell/strings.h"

namespace {

// The languages are choices of one: their items show a bullet for a mark.
void MarkAsChoices(HMENU menu) {
  for (UINT id : {ID_VIEW_LANGUAGE_JAPANESE, ID_VIEW_LANGUAGE_ENGLISH}) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(menu, id, FALSE, &item)) continue;
    item.fType |= MFT_RADIOCHECK;
    SetMenuItemInfoW(menu, id, FALSE, &item);
  }
}

}  // namespace

void CMainFrame::LoadSettings() {
  WindowsSettingsReader reader;
  settings_.Load(reader, ModuleSettingsFiles().read);
  SetLanguage(ChosenLanguage(settings_.Get(kLanguageKey).value_or("")));
}

// Every text but the menu bar is loaded when it shows (prompts, tool-tips,
// dialog titles, messages, the About box), so from now on it comes in the
// new language. The menu bar is made again from the language's menu, the
// recent lists show their entries in it, and the status bar's idle text
// is set again.
HMENU CMainFrame::LanguageMenu() const {
  HMENU menu = LoadLanguageMenu(IDR_MAINFRAME);
  if (menu) MarkAsChoices(menu);
  return menu;
}

bool CMainFrame::ShowsJapanese() const { return CurrentLanguage() == Language::kJapanese; }

bool CMainFrame::ShowsEnglish() const { return CurrentLanguage() == Language::kEnglish; }

void CMainFrame::OnLanguage(UINT id) {
  ChangeLanguage(id == ID_VIEW_LANGUAGE_JAPANESE ? Language::kJapanese : Language::kEnglish);
}

void CMainFrame::ChangeLanguage(Language language) {
  SetLanguage(language);
  settings_.Set(kLanguageKey, LanguageValue(language));
  HMENU menu = LanguageMenu();
  if (!menu) return;
  HMENU old = GetMenu(hwnd());
  SetMenu(hwnd(), menu);
  if (old) DestroyMenu(old);
  BindRecentLists();
  recentBackgrounds_.RebuildMenu();
  recentForegrounds_.RebuildMenu();
  UpdateCommandState();
  SetStatusParts();  // the zoom's texts in the new language
  DrawMenuBar(hwnd());
  if (statusBar_) SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(LoadText(IDS_READY).c_str()));
  view_.RefreshCaption();
}
