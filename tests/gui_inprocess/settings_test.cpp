// The recent lists between runs: what a frame loads from the settings file
// beside the program when it is created, and the lines it leaves there when
// it is destroyed.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>

#include "platform/windows/known_folders.h"
#include "platform/windows/text.h"
#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "tests/gui_inprocess/import_patch.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/profile_windows.h"

namespace {

using Lines = std::vector<std::string>;

// Windows writes the lines of a section as they are given; Wine's profile
// functions rewrite them, dropping the space after the equals sign and in
// some sections the one before it too. Under Wine the lines are compared
// without those spaces.
bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

std::string AsCompared(std::string line) {
  if (!UnderWine()) return line;
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return line;
  const size_t keyEnd = line.find_last_not_of(' ', equals - 1) + 1;
  const size_t valueStart = line.find_first_not_of(' ', equals + 1);
  return line.substr(0, keyEnd) + "=" + (valueStart == std::string::npos ? "" : line.substr(valueStart));
}

// Each section's lines, in file order, without the line ends.
std::map<std::string, Lines> Sections(const std::string& text) {
  std::map<std::string, Lines> sections;
  std::istringstream in(text);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = line.substr(1, line.size() - 2);
      sections[section];
    } else {
      sections[section].push_back(AsCompared(line));
    }
  }
  return sections;
}

// "Document%i" keys from `from` down to 1, each naming `path` with its number.
std::string Documents(int from, const std::string& path) {
  std::string text;
  for (int k = from; k >= 1; --k) text += "Document" + std::to_string(k) + "=" + path + std::to_string(k) + "\n";
  return text;
}

class SettingsFileTest : public FrameTest {
 protected:
  // The frame's settings after it is gone.
  std::map<std::string, Lines> Saved() {
    frame_->Destroy();
    return Sections(ReadSettings());
  }
  // A saved line: key, " = ", value.
  static std::string Line(const std::string& key, const std::string& value) { return AsCompared(key + " = " + value); }
  static Lines DocumentLines(int from, const std::string& path) {
    Lines lines;
    for (int k = from; k >= 1; --k) lines.push_back(Line("Document" + std::to_string(k), path + std::to_string(k)));
    return lines;
  }
  static Lines With(Lines first, const Lines& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
  }
};

TEST_F(SettingsFileTest, EmptyListsSaveTheirCapacityAlone) {
  const auto saved = Saved();
  EXPECT_EQ(saved.at("RecentFgImage"), Lines{Line("DocumentCount", "8")});
  EXPECT_EQ(saved.at("RecentBgImage"), Lines{Line("DocumentCount", "8")});
}

// Capacities are held to 16 foregrounds and 9 backgrounds: keys above them
// are never read, and they are gone from the file afterwards.
TEST_F(SettingsFileTest, CountsAreHeldToTheListsBounds) {
  Restart("[RecentFgImage]\nDocumentCount=20\n" + Documents(20, "C:\\fg") + "[RecentBgImage]\nDocumentCount=20\n" +
          Documents(20, "C:\\bg"));
  const auto foregrounds = ItemsOf(RecentForegroundMenu(frame().menu()));
  ASSERT_EQ(foregrounds.size(), 16u);
  EXPECT_EQ(foregrounds.front(), std::make_pair(std::string("&1 C:\\fg1"), UINT{ID_RECENT_FOREGROUND_FIRST}));
  EXPECT_EQ(foregrounds.back(), std::make_pair(std::string("&16 C:\\fg16"), UINT{ID_RECENT_FOREGROUND_LAST}));
  const auto backgrounds = ItemsOf(RecentBackgroundMenu(frame().menu()));
  ASSERT_EQ(backgrounds.size(), 9u);
  EXPECT_EQ(backgrounds.back(), std::make_pair(std::string("&9 C:\\bg9"), UINT{ID_RECENT_BACKGROUND_LAST}));

  const auto saved = Saved();
  EXPECT_EQ(saved.at("RecentFgImage"), With({Line("DocumentCount", "16")}, DocumentLines(16, "C:\\fg")));
  EXPECT_EQ(saved.at("RecentBgImage"), With({Line("DocumentCount", "9")}, DocumentLines(9, "C:\\bg")));
}

TEST_F(SettingsFileTest, ACountOfOneGivesTwo) {
  Restart("[RecentFgImage]\nDocumentCount=1\n" + Documents(3, "C:\\fg"));
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())).size(), 2u);
  EXPECT_EQ(Saved().at("RecentFgImage"), With({Line("DocumentCount", "2")}, DocumentLines(2, "C:\\fg")));
}

// Gaps in the numbering are skipped; the same path under two keys is
// loaded twice; a count that is no number leaves the list as it was.
TEST_F(SettingsFileTest, GapsAndRepeatsAsTheyStand) {
  Restart(
      "[RecentFgImage]\nDocumentCount=8\nDocument3=C:\\three.tga\nDocument1=C:\\one.tga\n"
      "[RecentBgImage]\nDocumentCount=8\nDocument1=C:\\same.tga\nDocument2=C:\\same.tga\n");
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())),
            (std::vector<std::pair<std::string, UINT>>{{"&1 C:\\one.tga", ID_RECENT_FOREGROUND_FIRST},
                                                       {"&2 C:\\three.tga", ID_RECENT_FOREGROUND_FIRST + 1}}));
  EXPECT_EQ(ItemsOf(RecentBackgroundMenu(frame().menu())),
            (std::vector<std::pair<std::string, UINT>>{{"&1 C:\\same.tga", ID_RECENT_BACKGROUND_FIRST},
                                                       {"&2 C:\\same.tga", ID_RECENT_BACKGROUND_FIRST + 1}}));
  const auto saved = Saved();
  EXPECT_EQ(saved.at("RecentFgImage"),
            (Lines{Line("DocumentCount", "8"), Line("Document2", "C:\\three.tga"), Line("Document1", "C:\\one.tga")}));
  EXPECT_EQ(saved.at("RecentBgImage"),
            (Lines{Line("DocumentCount", "8"), Line("Document2", "C:\\same.tga"), Line("Document1", "C:\\same.tga")}));
}

TEST_F(SettingsFileTest, ACountThatIsNoNumberLeavesTheListEmpty) {
  Restart("[RecentFgImage]\nDocumentCount=many\nDocument1=C:\\one.tga\n");
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())),
            (std::vector<std::pair<std::string, UINT>>{{"(Empty)", ID_RECENT_FOREGROUND_FIRST}}));
  EXPECT_EQ(Saved().at("RecentFgImage"), Lines{Line("DocumentCount", "8")});
}

int shortNamesAsked = 0;
DWORD WINAPI CountingGetShortPathNameW(LPCWSTR, LPWSTR, DWORD) {
  ++shortNamesAsked;
  return 0;
}

// Saving asks the file system nothing about the stored paths (a short
// name asked of an unreachable share would hold the exit up) and stores a
// path the code page cannot hold exactly, never by a short name.
TEST_F(SettingsFileTest, SavingAsksTheDiskNothingAboutThePaths) {
  const std::string unreachable = u8"\\\\nowhere\\share\\photo α 한글.png";
  frame().frame().recentForegrounds().Add(unreachable);
  std::map<std::string, Lines> saved;
  {
    ImportPatch counting("kernel32.dll", "GetShortPathNameW", reinterpret_cast<void*>(CountingGetShortPathNameW));
    ASSERT_TRUE(counting.Active());
    shortNamesAsked = 0;
    saved = Saved();
  }
  EXPECT_EQ(shortNamesAsked, 0);
  EXPECT_EQ(saved.at("RecentFgImage"),
            (Lines{Line("DocumentCount", "8"),
                   Line("Document1.utf8", "\\\\nowhere\\share\\photo%20%CE%B1%20%ED%95%9C%EA%B8%80.png")}));
  Restart(std::nullopt);
  EXPECT_EQ(frame().frame().recentForegrounds().Get(ID_RECENT_FOREGROUND_FIRST), unreachable);
}

// Unpacked where the account may not write (here: a folder stands where
// the settings file would), the lists go to the user's own Trellin folder
// and come back from there; the folder beside the program is left as it is.
TEST_F(SettingsFileTest, AProtectedProgramFolderKeepsTheListsInTheUsersFolder) {
  const std::wstring beside = platform::Utf16(SettingsFile());
  const std::string own =
      UserSettingsFilePath(platform::Utf8(platform::ProgramPath()), platform::Utf8(platform::LocalAppDataFolder()));
  DeleteFileW(platform::Utf16(own).c_str());
  frame_.reset();
  DeleteFileW(beside.c_str());
  ASSERT_TRUE(CreateDirectoryW(beside.c_str(), nullptr));
  frame_ = std::make_unique<FrameUnderTest>();
  EXPECT_EQ(frame().frame().recentForegrounds().size(), 0u);
  frame().frame().recentForegrounds().Add("C:\\kept.tga");
  frame_.reset();
  const Bytes written = ReadFileBytes(own);
  EXPECT_NE(std::string(written.begin(), written.end()).find("kept.tga"), std::string::npos) << own;

  frame_ = std::make_unique<FrameUnderTest>();
  EXPECT_EQ(frame().frame().recentForegrounds().Get(ID_RECENT_FOREGROUND_FIRST), "C:\\kept.tga");
  frame_.reset();
  EXPECT_TRUE(RemoveDirectoryW(beside.c_str()));
  DeleteFileW(platform::Utf16(own).c_str());
  frame_ = std::make_unique<FrameUnderTest>();
}

// The open dialog is a common dialog, which the 32-bit pass leaves out.
class SettingsFileWithDialogs : public SettingsFileTest {};

// Two runs in a row: the picture opened last is Document1 in the file and
// the top item of the next run's menu.
TEST_F(SettingsFileWithDialogs, TheOrderSurvivesTheNextRun) {
  PictureFolder pictures;
  const std::string first = pictures.Tga("first.tga", Sprite(8, 8)), second = pictures.Tga("second.tga", Sprite(8, 8));
  {
    DialogWatcher dialogs(DialogWatcher::ChooseFile(first));
    frame().Command(ID_FILE_OPEN_FOREGROUND);
  }
  {
    DialogWatcher dialogs(DialogWatcher::ChooseFile(second));
    frame().Command(ID_FILE_OPEN_FOREGROUND);
  }
  frame().Command(ID_APP_EXIT);
  EXPECT_EQ(Sections(ReadSettings()).at("RecentFgImage"),
            (Lines{Line("DocumentCount", "8"), Line("Document2", first), Line("Document1", second)}));

  Restart(std::nullopt);
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())),
            (std::vector<std::pair<std::string, UINT>>{{"&1 " + second, ID_RECENT_FOREGROUND_FIRST},
                                                       {"&2 " + first, ID_RECENT_FOREGROUND_FIRST + 1}}));
}

}  // namespace
