#include "viewer/shell/recent_image_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/shell/shell_fakes.h"

namespace {

constexpr unsigned kFg = ID_RECENT_FOREGROUND_FIRST;
const std::string kFile = "C:\\Tools\\Trellin.ini";

// A foreground list as the frame sets it up: bound to its submenu as the
// menu resource has it, capacity 8.
class RecentListTest : public ::testing::Test {
 protected:
  RecentListTest() {
    list.BindMenu(std::make_unique<FakeMenu>(menu));
    list.SetCapacity(8);
  }
  void AddAll(std::initializer_list<const char*> paths) {
    for (const char* p : paths) ASSERT_TRUE(list.Add(p));
  }
  // The menu's texts from the top.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const MenuItem& item : menu) texts.push_back(item.text);
    return texts;
  }
  void Store(const std::string& section, FakeProfile::Lines lines) { profile.Section(kFile, section) = lines; }

  std::vector<MenuItem> menu{{kFg, "(Empty)", true}};
  RecentImageList list = RecentImageList::Foregrounds();
  FakeProfile profile;
};

using Texts = std::vector<std::string>;

TEST(RecentListCapacity, StartsAtFourAndIsClampedToTheList) {
  RecentImageList fg = RecentImageList::Foregrounds();
  RecentImageList bg = RecentImageList::Backgrounds();
  EXPECT_EQ(fg.capacity(), 4);
  fg.SetCapacity(20);
  bg.SetCapacity(20);
  EXPECT_EQ(fg.capacity(), 16);
  EXPECT_EQ(bg.capacity(), 9);
  fg.SetCapacity(1);
  EXPECT_EQ(fg.capacity(), 2);
  fg.SetCapacity(-5);
  EXPECT_EQ(fg.capacity(), 2);
}

TEST_F(RecentListTest, MenuShowsTheMostRecentFirstWithNumbers) {
  AddAll({"C:\\a.png", "C:\\b.png"});
  EXPECT_EQ(menu, (std::vector<MenuItem>{{kFg, "&1 C:\\b.png", false}, {kFg + 1, "&2 C:\\a.png", false}}));
  EXPECT_EQ(list.Get(kFg), "C:\\b.png");
  EXPECT_EQ(list.Get(kFg + 1), "C:\\a.png");
  EXPECT_EQ(list.Get(kFg + 2), std::nullopt);
  EXPECT_EQ(list.Get(kFg - 1), std::nullopt);
}

TEST_F(RecentListTest, EmptyListShowsTheResourceTextGreyed) {
  AddAll({"C:\\a.png"});
  ASSERT_TRUE(list.Remove(kFg));
  EXPECT_EQ(menu, (std::vector<MenuItem>{{kFg, "(Empty)", true}}));
  EXPECT_FALSE(list.Remove(kFg));

  // Without a resource item the text is the list's own.
  std::vector<MenuItem> bare;
  RecentImageList other = RecentImageList::Backgrounds();
  other.BindMenu(std::make_unique<FakeMenu>(bare));
  ASSERT_TRUE(other.RebuildMenu());
  EXPECT_EQ(bare, (std::vector<MenuItem>{{ID_RECENT_BACKGROUND_FIRST, "(empty)", true}}));
  EXPECT_FALSE(RecentImageList::Backgrounds().RebuildMenu());
}

TEST_F(RecentListTest, ItemsStayWhereTheResourceItemWas) {
  menu = {{1, "before", false}, {kFg, "(Empty)", true}, {2, "after", false}};
  list.BindMenu(std::make_unique<FakeMenu>(menu));
  AddAll({"a", "b"});
  EXPECT_EQ(Shown(), (Texts{"before", "&1 b", "&2 a", "after"}));
  ASSERT_TRUE(list.Remove(kFg));
  ASSERT_TRUE(list.Remove(kFg));
  EXPECT_EQ(Shown(), (Texts{"before", "(Empty)", "after"}));
}

TEST_F(RecentListTest, ReAddingInAnotherCaseMovesTheEntryUpWithTheNewCase) {
  AddAll({"C:\\Pics\\Fg.png", "C:\\b.png"});
  ASSERT_TRUE(list.Add("c:\\PICS\\fg.PNG"));
  EXPECT_EQ(Shown(), (Texts{"&1 c:\\PICS\\fg.PNG", "&2 C:\\b.png"}));
}

// Without the system's comparison (the frame gives it one), only ASCII
// letters fold: other characters must match exactly.
TEST_F(RecentListTest, OnlyAsciiLettersFoldByDefault) {
  AddAll({u8"C:\\ア.png", u8"C:\\ァ.png", u8"C:\\Ä.png", u8"C:\\ä.png"});
  EXPECT_EQ(list.size(), 4u);
}

// Entries are counted in UTF-16 units, as the 260-character buffers of
// Windows count them.
TEST_F(RecentListTest, LengthIsCountedInWindowsCharacters) {
  const std::string folder = "C:\\" + std::string(248, 'x') + "\\";
  EXPECT_TRUE(list.Add(folder + u8"表表表.tga")) << "259 characters in 264 bytes and more";
  EXPECT_FALSE(list.Add(folder + u8"表表表表.tga"));
}

TEST_F(RecentListTest, NinthPathDropsTheOldest) {
  AddAll({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
  EXPECT_EQ(Shown(), (Texts{"&1 9", "&2 8", "&3 7", "&4 6", "&5 5", "&6 4", "&7 3", "&8 2"}));
}

TEST_F(RecentListTest, PathTooLongForAnEntryIsRefused) {
  AddAll({"a"});
  EXPECT_FALSE(list.Add(std::string(260, 'x')));
  EXPECT_EQ(Shown(), (Texts{"&1 a"}));
  EXPECT_TRUE(list.Add(std::string(259, 'x')));
  EXPECT_EQ(list.Get(kFg), std::string(259, 'x'));
}

TEST_F(RecentListTest, PromoteAndRemoveByIdentifier) {
  AddAll({"a", "b", "c"});
  ASSERT_TRUE(list.Promote(kFg + 2));
  EXPECT_EQ(Shown(), (Texts{"&1 a", "&2 c", "&3 b"}));
  ASSERT_TRUE(list.Remove(kFg + 1));
  EXPECT_EQ(Shown(), (Texts{"&1 a", "&2 b"}));
  EXPECT_FALSE(list.Promote(kFg + 2));
  EXPECT_FALSE(list.Remove(kFg + 2));
}

TEST_F(RecentListTest, LoadWithoutDocumentCountChangesNothing) {
  AddAll({"a"});
  Store(kRecentForegroundSection, {"Document1 = b"});
  EXPECT_FALSE(list.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  Store(kRecentForegroundSection, {"DocumentCount = 0", "Document1 = b"});
  EXPECT_FALSE(list.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  EXPECT_EQ(list.capacity(), 8);
  EXPECT_EQ(Shown(), (Texts{"&1 a"}));
}

TEST_F(RecentListTest, LoadClampsTheCountAndReadsOnlyKeysUpToIt) {
  FakeProfile::Lines lines{"DocumentCount = 20"};
  for (int k = 17; k >= 1; --k) lines.push_back("Document" + std::to_string(k) + " = p" + std::to_string(k));
  Store(kRecentForegroundSection, lines);
  ASSERT_TRUE(list.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  EXPECT_EQ(list.capacity(), 16);
  EXPECT_EQ(list.size(), 16u);
  EXPECT_EQ(list.Get(kFg), "p1");
  EXPECT_EQ(list.Get(kFg + 15), "p16");

  RecentImageList bg = RecentImageList::Backgrounds();
  profile.Section(kFile, kRecentBackgroundSection) = lines;
  bg.LoadFromSettings(profile, kFile, kRecentBackgroundSection);
  EXPECT_EQ(bg.capacity(), 9);
  EXPECT_EQ(bg.size(), 9u);

  Store(kRecentForegroundSection, {"DocumentCount = 1", "Document1 = a"});
  list.LoadFromSettings(profile, kFile, kRecentForegroundSection);
  EXPECT_EQ(list.capacity(), 2);
  list.SaveToSettings(profile, kFile, kRecentForegroundSection);
  EXPECT_EQ(profile.Section(kFile, kRecentForegroundSection)[0], "DocumentCount = 2");
}

TEST_F(RecentListTest, LoadSkipsGapsKeepsDuplicatesAndLeavesOutOverlongValues) {
  Store(kRecentForegroundSection, {"DocumentCount = 8", "Document3 = old", "Document1 = new"});
  ASSERT_TRUE(list.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  EXPECT_EQ(Shown(), (Texts{"&1 new", "&2 old"}));

  Store(kRecentForegroundSection,
        {"DocumentCount = 8", "Document1 = same", "Document2 = same", "Document4 = " + std::string(260, 'x')});
  ASSERT_TRUE(list.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  EXPECT_EQ(Shown(), (Texts{"&1 same", "&2 same"}));
  // Adding it again removes only the first match, the older one.
  ASSERT_TRUE(list.Add("SAME"));
  EXPECT_EQ(Shown(), (Texts{"&1 SAME", "&2 same"}));
}

TEST_F(RecentListTest, LoadThatLowersTheCapacityLeavesNoStaleItems) {
  AddAll({"1", "2", "3", "4", "5"});
  Store(kRecentForegroundSection, {"DocumentCount = 2", "Document1 = a"});
  ASSERT_TRUE(list.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  EXPECT_EQ(Shown(), (Texts{"&1 a"}));
}

TEST_F(RecentListTest, SaveWritesTheCountThenTheEntriesDownToDocument1) {
  list.SaveToSettings(profile, kFile, kRecentForegroundSection);
  ASSERT_EQ(profile.writes.size(), 1u);
  EXPECT_EQ(profile.writes[0], std::string("DocumentCount = 8\0\0", 19));

  AddAll({"C:\\old.png", "C:\\new.png"});
  list.SaveToSettings(profile, kFile, kRecentForegroundSection);
  EXPECT_EQ(profile.writes[1],
            std::string("DocumentCount = 8\0Document2 = C:\\old.png\0Document1 = C:\\new.png\0\0", 65));
}

// A path the file cannot hold as it is goes under a key of its own, in
// escaped UTF-8, and comes back exactly; never as a short name, which goes
// stale. The numbering stays the entries' own: a reader that knows only
// the plain keys sees a gap, skips it, and keeps the others in order.
TEST_F(RecentListTest, APathTheFileCannotHoldIsKeptInEscapedUtf8) {
  class AsciiProfile final : public SectionWriter {
   public:
    FakeProfile* file;
    bool Holds(const std::string& text) override {
      return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }
    bool WriteSection(const std::string& name, const std::string& section, std::string_view lines) override {
      return file->WriteSection(name, section, lines);
    }
  } ascii;
  ascii.file = &profile;
  const char* hangul = u8"C:\\한글\\a 100%.tga";
  AddAll({"C:\\old.png", hangul, "C:\\new.png"});
  list.SaveToSettings(ascii, kFile, kRecentForegroundSection);
  using namespace std::string_literals;
  EXPECT_EQ(profile.writes.back(),
            "DocumentCount = 8\0Document3 = C:\\old.png\0Document2.utf8 = C:\\%ED%95%9C%EA%B8%80\\a%20100%25.tga\0"
            "Document1 = C:\\new.png\0\0"s);

  RecentImageList next = RecentImageList::Foregrounds();
  next.SetCapacity(8);
  next.LoadFromSettings(profile, kFile, kRecentForegroundSection);
  EXPECT_EQ(next.Get(kFg + 1), hangul);
  // What the earlier release reads of it: the plain keys, in their order.
  EXPECT_EQ(profile.ReadString(kFile, kRecentForegroundSection, "Document2"), "");
  EXPECT_EQ(profile.ReadString(kFile, kRecentForegroundSection, "Document3"), "C:\\old.png");
}

// The escaped key wins over a plain one of the same number, and a stray '%'
// stands for itself.
TEST_F(RecentListTest, LoadTakesTheEscapedKeyAndToleratesStrayPercents) {
  profile.Section(kFile, kRecentForegroundSection) = {"DocumentCount = 8", "Document1 = C:\\PICTUR~1.PNG",
                                                      "Document1.utf8 = C:\\%CE%B1.png",
                                                      "Document2.utf8 = C:\\50%.png%4", "Document3 = C:\\%zz"};
  ASSERT_TRUE(list.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  EXPECT_EQ(Shown(), (Texts{u8"&1 C:\\α.png", "&2 C:\\50%.png%4", "&3 C:\\%zz"}));
}

TEST_F(RecentListTest, TwoRunsKeepTheOrder) {
  AddAll({"a", "b", "c"});
  list.Promote(kFg + 2);
  list.SaveToSettings(profile, kFile, kRecentForegroundSection);

  std::vector<MenuItem> nextMenu{{kFg, "(Empty)", true}};
  RecentImageList next = RecentImageList::Foregrounds();
  next.BindMenu(std::make_unique<FakeMenu>(nextMenu));
  next.SetCapacity(8);
  ASSERT_TRUE(next.LoadFromSettings(profile, kFile, kRecentForegroundSection));
  EXPECT_EQ(nextMenu, menu);
  EXPECT_EQ(Shown(), (Texts{"&1 a", "&2 c", "&3 b"}));
}

}  // namespace
