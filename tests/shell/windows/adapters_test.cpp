// The recent lists against a real menu and a real settings file.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/windows/text.h"
#include "tests/shell/windows/windows_text.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/profile_windows.h"
#include "viewer/shell/recent_image_list.h"
#include "viewer/shell/recent_menu_windows.h"
#include "viewer/shell/settings_section.h"

namespace {

constexpr unsigned kFg = ID_RECENT_FOREGROUND_FIRST;
constexpr unsigned kBg = ID_RECENT_BACKGROUND_FIRST;

// The main menu's recent submenus, found as the frame finds them.
class RecentMenuTest : public ::testing::Test {
 protected:
  RecentMenuTest() : menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {
    HMENU file = GetSubMenu(menu, 0);
    foregrounds = GetSubMenu(file, GetMenuItemCount(file) - 4);
    backgrounds = GetSubMenu(file, GetMenuItemCount(file) - 3);
  }
  ~RecentMenuTest() override { DestroyMenu(menu); }

  static std::string TextAt(HMENU m, int position) {
    wchar_t text[300] = {};
    GetMenuStringW(m, position, text, 300, MF_BYPOSITION);
    return platform::Utf8(text);
  }
  static bool GreyedAt(HMENU m, int position) { return GetMenuState(m, position, MF_BYPOSITION) & MF_GRAYED; }

  HMENU menu;
  HMENU foregrounds;
  HMENU backgrounds;
};

// NTFS keeps a lone surrogate in a name. Such a name goes through the
// program's UTF-8 and comes back unit for unit: the file opens, and saving
// over it writes that file, never one named with U+FFFD. (Wine cannot make
// such a file, so the conversion is what is tested.)
TEST(Utf8, ANameWithALoneSurrogateComesBackExactly) {
  const std::wstring name = std::wstring(L"C:\\pictures\\a") + wchar_t(0xD800) + L"b.png";
  EXPECT_EQ(platform::Utf16(platform::Utf8(name)), name);
  EXPECT_NE(platform::Utf8(name), platform::Utf8(L"C:\\pictures\\a\uFFFDb.png"));
}

// The file system takes full-width and other cased letters for the same
// name in either case.
TEST(SameFilePath, ComparesAsTheFileSystemDoes) {
  EXPECT_TRUE(SameFilePath("C:\\Pics\\a.TGA", "c:\\PICS\\A.tga"));
  EXPECT_TRUE(SameFilePath(u8"C:\\ＰＩＣＳ\\ａ.tga", u8"C:\\ｐｉｃｓ\\Ａ.tga"));
  EXPECT_TRUE(SameFilePath(u8"C:\\Αλφα\\Жук.tga", u8"C:\\αΛΦΑ\\жУК.tga"));
  EXPECT_TRUE(SameFilePath(u8"C:\\表\\a.tga", u8"C:\\表\\A.tga"));
  EXPECT_FALSE(SameFilePath(u8"C:\\表\\a.tga", u8"C:\\衣\\a.tga"));
  EXPECT_FALSE(SameFilePath(u8"C:\\ａ.tga", "C:\\a.tga")) << "full-width is not half-width";
  EXPECT_FALSE(SameFilePath("C:\\a.tga", "C:\\a.tg"));
}

TEST_F(RecentMenuTest, AFileAddedTwiceInOtherCaseIsListedOnce) {
  RecentImageList fg = RecentImageList::Foregrounds(SameFilePath);
  fg.BindMenu(std::make_unique<WindowsRecentMenu>(foregrounds));
  fg.SetCapacity(8);
  ASSERT_TRUE(fg.Add(u8"C:\\ＰＩＣＳ\\ａ.tga"));
  ASSERT_TRUE(fg.Add("C:\\b.tga"));
  ASSERT_TRUE(fg.Add(u8"C:\\ｐｉｃｓ\\Ａ.tga"));
  EXPECT_EQ(fg.size(), 2u);
  EXPECT_EQ(TextAt(foregrounds, 0), u8"&1 C:\\ｐｉｃｓ\\Ａ.tga") << "with the new path's letters";
}

TEST_F(RecentMenuTest, ListsShowTheirEntriesAndTheGreyedEmptyItem) {
  RecentImageList fg = RecentImageList::Foregrounds();
  fg.BindMenu(std::make_unique<WindowsRecentMenu>(foregrounds));
  fg.SetCapacity(8);
  const std::string japanese = u8"C:\\画像\\前景.png";
  ASSERT_TRUE(fg.Add("C:\\a.png"));
  ASSERT_TRUE(fg.Add(japanese));
  ASSERT_EQ(GetMenuItemCount(foregrounds), 2);
  EXPECT_EQ(TextAt(foregrounds, 0), "&1 " + japanese);
  EXPECT_EQ(TextAt(foregrounds, 1), "&2 C:\\a.png");
  EXPECT_EQ(GetMenuItemID(foregrounds, 0), kFg);
  EXPECT_EQ(GetMenuItemID(foregrounds, 1), kFg + 1);
  EXPECT_FALSE(GreyedAt(foregrounds, 0));

  ASSERT_TRUE(fg.Remove(kFg));
  ASSERT_TRUE(fg.Remove(kFg));
  ASSERT_EQ(GetMenuItemCount(foregrounds), 1);
  EXPECT_EQ(TextAt(foregrounds, 0), "(Empty)");
  EXPECT_EQ(GetMenuItemID(foregrounds, 0), kFg);
  EXPECT_TRUE(GreyedAt(foregrounds, 0));

  // The other list and its submenu are untouched.
  ASSERT_EQ(GetMenuItemCount(backgrounds), 1);
  EXPECT_EQ(GetMenuItemID(backgrounds, 0), kBg);
  EXPECT_TRUE(GreyedAt(backgrounds, 0));
}

// Hands the lines on to the profile functions and keeps them.
class RecordingWriter final : public SectionWriter {
 public:
  bool Holds(const std::string& text) override { return real.Holds(text); }
  bool WriteSection(const std::string& file, const std::string& section, std::string_view lines) override {
    written = lines;
    return real.WriteSection(file, section, lines);
  }
  std::string written;

 private:
  WindowsSectionWriter real;
};

// A settings file of its own in the temporary folder.
class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    file = std::string(folder) + "trellin_shell_test_" + std::to_string(GetCurrentProcessId()) + ".ini";
    DeleteFileA(file.c_str());
  }
  ~SettingsFileTest() override { DeleteFileA(file.c_str()); }

  // The section's keys in file order.
  std::vector<std::string> Keys(const char* section) const {
    char lines[4096] = {};
    GetPrivateProfileSectionA(section, lines, sizeof(lines), file.c_str());
    std::vector<std::string> keys;
    for (const char* line = lines; *line; line += std::strlen(line) + 1) {
      const std::string text = line;
      keys.push_back(text.substr(0, text.find_last_not_of(' ', text.find('=') - 1) + 1));
    }
    return keys;
  }

  std::string file;
  WindowsSettingsReader reader;
  RecordingWriter writer;
};

TEST_F(SettingsFileTest, SaveReplacesTheWholeSectionAndLoadRestoresTheOrder) {
  WritePrivateProfileStringA(kRecentForegroundSection, "Stale", "gone", file.c_str());
  WritePrivateProfileStringA(kRecentBackgroundSection, "Other", "kept", file.c_str());
  RecentImageList fg = RecentImageList::Foregrounds();
  fg.SetCapacity(8);
  fg.Add("C:\\old.png");
  fg.Add("C:\\new.png");
  ASSERT_TRUE(fg.SaveToSettings(writer, file, kRecentForegroundSection));
  // Windows keeps these lines as they are; Wine writes them as "key =value".
  EXPECT_EQ(writer.written, std::string("DocumentCount = 8\0Document2 = C:\\old.png\0Document1 = C:\\new.png\0\0", 65));
  EXPECT_EQ(Keys(kRecentForegroundSection), (std::vector<std::string>{"DocumentCount", "Document2", "Document1"}));
  EXPECT_EQ(Keys(kRecentBackgroundSection), std::vector<std::string>{"Other"});

  RecentImageList next = RecentImageList::Foregrounds();
  ASSERT_FALSE(next.LoadFromSettings(reader, file, kRecentForegroundSection));  // no menu to rebuild
  EXPECT_EQ(next.capacity(), 8);
  EXPECT_EQ(next.Get(kFg), "C:\\new.png");
  EXPECT_EQ(next.Get(kFg + 1), "C:\\old.png");
}

TEST_F(SettingsFileTest, OverlongValuesAreReadWholeAndLeftOut) {
  const std::string longPath = "C:\\" + std::string(300, 'x');
  WritePrivateProfileStringA(kRecentBackgroundSection, "DocumentCount", "4", file.c_str());
  WritePrivateProfileStringA(kRecentBackgroundSection, "Document1", longPath.c_str(), file.c_str());
  WritePrivateProfileStringA(kRecentBackgroundSection, "Document2", "C:\\b.png", file.c_str());
  EXPECT_EQ(reader.ReadString(file, kRecentBackgroundSection, "Document1"), longPath);
  RecentImageList bg = RecentImageList::Backgrounds();
  bg.LoadFromSettings(reader, file, kRecentBackgroundSection);
  EXPECT_EQ(bg.size(), 1u);
  EXPECT_EQ(bg.Get(kBg), "C:\\b.png");
}

// A settings file as the program has always written it on a Japanese
// system: code page 932, a path whose 表 has a backslash's byte as its
// second byte. It loads as it was, and is written back in the same bytes.
TEST_F(SettingsFileTest, AFileInCodePage932LoadsAndSavesUnchanged) {
  const std::string path = Cp932(u8"C:\\画像\\表示.tga");
  const std::string text = "[RecentFgImage]\r\nDocumentCount = 8\r\nDocument1 = " + path + "\r\n";
  if (FILE* out = _wfopen(platform::Utf16(file).c_str(), L"wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  RecentImageList fg = RecentImageList::Foregrounds();
  fg.LoadFromSettings(reader, file, kRecentForegroundSection);
  EXPECT_EQ(fg.Get(kFg), u8"C:\\画像\\表示.tga");
  ASSERT_TRUE(fg.SaveToSettings(writer, file, kRecentForegroundSection));
  std::string saved;
  if (FILE* in = _wfopen(platform::Utf16(file).c_str(), L"rb")) {
    char chunk[4096];
    saved.append(chunk, std::fread(chunk, 1, sizeof chunk, in));
    std::fclose(in);
  }
  // Windows writes "Document1 = value", Wine "Document1 =value".
  EXPECT_NE(saved.find("Document1 =" + std::string(saved.find("Document1 = ") == std::string::npos ? "" : " ") + path),
            std::string::npos)
      << saved;
}

// A path the code page cannot hold is kept in escaped UTF-8 under a key of
// its own and comes back exactly after a restart, with no look at the
// disk (the file need not exist, nor its folder): never a short name,
// which goes stale. The earlier release, reading the plain keys only,
// finds the others in their order.
TEST_F(SettingsFileTest, APathTheCodePageCannotHoldComesBackExactly) {
  ASSERT_EQ(GetACP(), 932u);
  const std::string hangul = u8"\\\\unreachable\\share\\한글 ☃\\photo α.png";
  RecentImageList fg = RecentImageList::Foregrounds();
  fg.SetCapacity(8);
  fg.Add(u8"C:\\画像\\old.tga");
  fg.Add(hangul);
  fg.Add("C:\\new.png");
  ASSERT_TRUE(fg.SaveToSettings(writer, file, kRecentForegroundSection));
  EXPECT_EQ(Keys(kRecentForegroundSection),
            (std::vector<std::string>{"DocumentCount", "Document3", "Document2.utf8", "Document1"}));
  char plain[MAX_PATH];
  GetPrivateProfileStringA(kRecentForegroundSection, "Document3", "", plain, MAX_PATH, file.c_str());
  EXPECT_EQ(std::string(plain), Cp932(u8"C:\\画像\\old.tga")) << "in the code page, as always";

  RecentImageList next = RecentImageList::Foregrounds();
  next.SetCapacity(8);
  next.LoadFromSettings(reader, file, kRecentForegroundSection);
  EXPECT_EQ(next.Get(kFg), "C:\\new.png");
  EXPECT_EQ(next.Get(kFg + 1), hangul);
  EXPECT_EQ(next.Get(kFg + 2), u8"C:\\画像\\old.tga");
}

// The Settings section read whole, in the file's order, spaces around the
// '=' dropped and lines without one left out, however long it is; saved
// with the choice, it keeps the other keys and the other sections.
TEST_F(SettingsFileTest, TheSettingsSectionKeepsItsKeysInTheirOrder) {
  const std::string theme(600, 't');
  const std::string text = "[RecentFgImage]\r\nDocumentCount = 8\r\n[Settings]\r\nZoom = 200\r\nnot a key\r\n"
                           "Language=fr\r\nTheme =  " + theme + "\r\n";
  if (FILE* out = _wfopen(platform::Utf16(file).c_str(), L"wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  EXPECT_EQ(reader.ReadSection(file, kSettingsSection),
            (std::vector<std::pair<std::string, std::string>>{{"Zoom", "200"}, {"Language", "fr"}, {"Theme", theme}}));
  SettingsSection settings;
  settings.Load(reader, file);
  settings.Set(kLanguageKey, "en");
  settings.Save(writer, file);
  EXPECT_EQ(Keys(kSettingsSection), (std::vector<std::string>{"Zoom", "Language", "Theme"}));
  EXPECT_EQ(reader.ReadString(file, kSettingsSection, kLanguageKey), "en");
  EXPECT_EQ(reader.ReadInt(file, kRecentForegroundSection, "DocumentCount", 0), 8);
  EXPECT_TRUE(reader.ReadSection(file, "Missing").empty());
}

TEST_F(SettingsFileTest, NoSettingsFileNameReadsAndWritesNothing) {
  EXPECT_EQ(reader.ReadInt("", kRecentForegroundSection, "DocumentCount", 0), 0);
  EXPECT_EQ(reader.ReadString("", kRecentForegroundSection, "Document1"), "");
  EXPECT_TRUE(reader.ReadSection("", kSettingsSection).empty());
  EXPECT_FALSE(writer.WriteSection("", kRecentForegroundSection, std::string_view("A = 1\0", 7)));
}

TEST(ModuleSettingsFilePath, IsTheProgramsPathWithIni) {
  char self[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string program(self, length);
  ASSERT_EQ(program.substr(program.size() - 4), ".exe");
  EXPECT_EQ(ModuleSettingsFilePath(), program.substr(0, program.size() - 3) + "ini");
}

}  // namespace
