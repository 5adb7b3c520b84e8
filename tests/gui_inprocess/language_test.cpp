// The texts the user sees in either language: the menu bar, prompts,
// tool-tips, messages and the About box; the View menu's Language submenu,
// which switches between them without a restart; the choice kept in the
// settings file. The texts themselves are the resource tests'; here which
// set shows where. The tests run under the Japanese locale.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, on which it builds.
#include <commctrl.h>

#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/strings.h"

namespace {

// A key's value in the settings file as the profile functions read it.
std::string SavedValue(const char* section, const char* key) {
  char value[64] = {};
  GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, SettingsFile().c_str());
  return value;
}

std::string SettingsFor(Language language) {
  return std::string("[Settings]\nLanguage=") + LanguageValue(language) + "\n";
}

// The language's menu resource as it stands.
std::vector<MenuItem> ResourceMenu(Language language) {
  HMENU menu = LoadLanguageMenuIn(language, IDR_MAINFRAME);
  std::vector<MenuItem> items = ReadMenu(menu);
  DestroyMenu(menu);
  return items;
}

// Texts, identifiers and popups; the recent submenus are compared apart.
void ExpectSameItems(const std::vector<MenuItem>& actual, const std::vector<MenuItem>& expected,
                     const std::string& where) {
  ASSERT_EQ(actual.size(), expected.size()) << where;
  for (size_t i = 0; i < expected.size(); ++i) {
    const std::string place = where + " item " + std::to_string(i);
    EXPECT_EQ(actual[i].text, expected[i].text) << place;
    EXPECT_EQ(actual[i].id, expected[i].id) << place;
    EXPECT_EQ(actual[i].popup, expected[i].popup) << place;
    const bool recent = expected[i].items.size() == 1 && (expected[i].items[0].id == ID_RECENT_FOREGROUND_FIRST ||
                                                          expected[i].items[0].id == ID_RECENT_BACKGROUND_FIRST);
    if (!recent) ExpectSameItems(actual[i].items, expected[i].items, place);
  }
}

bool Checked(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED; }
bool Greyed(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED; }
bool RadioMark(HMENU menu, UINT id) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfoW(menu, id, FALSE, &info);
  return (info.fType & MFT_RADIOCHECK) && (info.fState & MFS_CHECKED);
}

UINT LanguageItem(Language language) {
  return language == Language::kJapanese ? ID_VIEW_LANGUAGE_JAPANESE : ID_VIEW_LANGUAGE_ENGLISH;
}
Language Other(Language language) {
  return language == Language::kJapanese ? Language::kEnglish : Language::kJapanese;
}

std::string Highlight(FrameUnderTest& frame, UINT item) {
  SendMessageW(frame.hwnd(), WM_MENUSELECT, MAKEWPARAM(item, MF_STRING), reinterpret_cast<LPARAM>(frame.menu()));
  return StatusText(frame.frame().statusBar());
}

void CloseMenu(FrameUnderTest& frame) { SendMessageW(frame.hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0); }

std::string ToolTip(FrameUnderTest& frame, UINT id) {
  HWND tips = reinterpret_cast<HWND>(SendMessageW(frame.frame().toolbar(), TB_GETTOOLTIPS, 0, 0));
  NMTTDISPINFOA ansi = {};
  ansi.hdr = {tips, id, TTN_GETDISPINFOA};
  SendMessageW(frame.hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&ansi));
  return ansi.lpszText ? ansi.lpszText : "";
}

// A frame started with the language chosen in the settings file.
class InEachLanguage : public FrameTest, public testing::WithParamInterface<Language> {
 protected:
  void SetUp() override { Restart(SettingsFor(GetParam())); }
  std::string Text(UINT id) const { return AnsiText(id, GetParam()); }
};

TEST_P(InEachLanguage, TheMenuBarIsTheLanguagesMenuWithItsMarks) {
  EXPECT_EQ(CurrentLanguage(), GetParam());
  HMENU menu = frame().menu();
  ExpectSameItems(ReadMenu(menu), ResourceMenu(GetParam()), "menu");
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(menu)),
            (std::vector<std::pair<std::string, UINT>>{{"(Empty)", ID_RECENT_FOREGROUND_FIRST}}));
  EXPECT_TRUE(Greyed(menu, ID_RECENT_FOREGROUND_FIRST));
  EXPECT_TRUE(Greyed(menu, ID_RECENT_BACKGROUND_FIRST));
  EXPECT_TRUE(Checked(menu, ID_VIEW_TOOLBAR));
  EXPECT_TRUE(Checked(menu, ID_VIEW_STATUS_BAR));
  EXPECT_TRUE(RadioMark(menu, LanguageItem(GetParam())));
  EXPECT_FALSE(Checked(menu, LanguageItem(Other(GetParam()))));
  // Nothing is greyed for want of a picture.
  for (UINT id : {ID_FILE_SAVE_COMPOSITE, ID_FILE_PRINT, ID_EDIT_COPY_COMPOSITE, ID_VIEW_CENTRE_FOREGROUND})
    EXPECT_FALSE(Greyed(menu, id)) << id;
  EXPECT_EQ(frame().Caption(), "Trellin");
}

TEST_P(InEachLanguage, MessagesAndTheAboutBox) {
  Restart(SettingsFor(GetParam()) + "[RecentFgImage]\nDocumentCount=8\nDocument1=C:\\gone\\gone.png\n");
  DialogWatcher dialogs;
  frame().Command(ID_RECENT_FOREGROUND_FIRST);
  SetActiveWindow(frame().hwnd());
  frame().Command(ID_APP_ABOUT);
  ASSERT_EQ(dialogs.seen().size(), 2u);
  EXPECT_EQ(dialogs.seen()[0].caption, "gone.png");
  EXPECT_EQ(dialogs.seen()[0].texts, std::vector<std::string>{Text(IDS_BROKEN_OR_NO_ALPHA)});
  EXPECT_EQ(dialogs.seen()[1].caption, "About");
  ASSERT_FALSE(dialogs.seen()[1].texts.empty());
  EXPECT_EQ(dialogs.seen()[1].texts[0], "Trellin  ver. 1, 0, 2, 1\n\nCopyright (C) 2026 the Trellin developers");
}

INSTANTIATE_TEST_SUITE_P(, InEachLanguage, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                           return std::string(info.param == Language::kJapanese ? "Japanese" : "English");
                         });

using LanguageMenu = FrameTest;

// The menu bar is made again from the other language's menu at once; the
// recent lists show their entries in it, the bars' marks stay as they
// were, and every text from then on is of the new language.
TEST_F(LanguageMenu, SwitchingRemakesTheMenuBarAndKeepsTheRecentEntries) {
  Restart("[RecentFgImage]\nDocumentCount=8\nDocument1=C:\\fg1.tga\nDocument2=C:\\fg2.tga\n"
          "[RecentBgImage]\nDocumentCount=8\nDocument1=C:\\bg1.bmp\n");
  ASSERT_EQ(CurrentLanguage(), Language::kJapanese) << "the Japanese locale's default";
  const std::vector<std::pair<std::string, UINT>> foregrounds = {
      {"&1 C:\\fg1.tga", ID_RECENT_FOREGROUND_FIRST}, {"&2 C:\\fg2.tga", ID_RECENT_FOREGROUND_FIRST + 1}};
  const std::vector<std::pair<std::string, UINT>> backgrounds = {{"&1 C:\\bg1.bmp", ID_RECENT_BACKGROUND_FIRST}};
  frame().Command(ID_VIEW_TOOLBAR);  // hidden before the switch

  for (Language language : {Language::kEnglish, Language::kJapanese}) {
    const std::string where = LanguageValue(language);
    frame().Command(LanguageItem(language));
    EXPECT_EQ(CurrentLanguage(), language);
    HMENU menu = frame().menu();
    ExpectSameItems(ReadMenu(menu), ResourceMenu(language), where);
    EXPECT_EQ(ItemsOf(RecentForegroundMenu(menu)), foregrounds) << where;
    EXPECT_EQ(ItemsOf(RecentBackgroundMenu(menu)), backgrounds) << where;
    EXPECT_FALSE(Greyed(menu, ID_RECENT_FOREGROUND_FIRST)) << where;
    EXPECT_FALSE(Checked(menu, ID_VIEW_TOOLBAR)) << where;
    EXPECT_TRUE(Checked(menu, ID_VIEW_STATUS_BAR)) << where;
    EXPECT_TRUE(RadioMark(menu, LanguageItem(language))) << where;
    EXPECT_FALSE(Checked(menu, LanguageItem(Other(language)))) << where;
    EXPECT_EQ(StatusText(frame().frame().statusBar()), AnsiText(IDS_READY, language)) << where;
    EXPECT_EQ(Highlight(frame(), ID_FILE_OPEN_FOREGROUND), LineOf(AnsiText(ID_FILE_OPEN_FOREGROUND, language), 0));
    CloseMenu(frame());
    EXPECT_EQ(ToolTip(frame(), ID_FILE_FORCE_FOREGROUND), LineOf(AnsiText(ID_FILE_FORCE_FOREGROUND, language), 1));
    // The entries still run their commands.
    EXPECT_EQ(frame().frame().recentForegrounds().Get(ID_RECENT_FOREGROUND_FIRST + 1), "C:\\fg2.tga") << where;
  }
  // Choosing the language shown changes nothing.
  frame().Command(ID_VIEW_LANGUAGE_JAPANESE);
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())), foregrounds);
  frame().Command(ID_VIEW_TOOLBAR);  // the flag is the process's
}

// The choice goes into the settings file with the recent lists at exit and
// is read at the next start.
TEST_F(LanguageMenu, TheChoiceIsSavedAndReadBack) {
  for (Language language : {Language::kEnglish, Language::kJapanese}) {
    frame().Command(LanguageItem(language));
    frame_->Destroy();
    EXPECT_EQ(SavedValue("Settings", "Language"), LanguageValue(language));
    EXPECT_EQ(SavedValue("RecentFgImage", "DocumentCount"), "8");
    SetLanguage(Other(language));
    Restart(std::nullopt);
    EXPECT_EQ(CurrentLanguage(), language);
    EXPECT_EQ(ReadMenu(frame().menu())[0].text, ResourceMenu(language)[0].text);
  }
}

// Without a choice the system's language shows, and the file gets no
// Settings section; a value this release does not know is kept as it was.
TEST_F(LanguageMenu, WithoutAChoiceTheSystemsLanguage) {
  EXPECT_EQ(CurrentLanguage(), Language::kJapanese);
  frame_->Destroy();
  EXPECT_EQ(ReadSettings().find("[Settings]"), std::string::npos) << ReadSettings();
  Restart("[Settings]\nLanguage=fr\nZoom=200\n");
  EXPECT_EQ(CurrentLanguage(), Language::kJapanese);
  frame_->Destroy();
  EXPECT_EQ(SavedValue("Settings", "Language"), "fr");
  EXPECT_EQ(SavedValue("Settings", "Zoom"), "200");
}

}  // namespace
