#include "viewer/shell/folder_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/shell/shell_fakes.h"

namespace {

const std::vector<std::string> kLeafPatterns = {"*.cz1", "*.cz2", "*.tga"};

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

TEST(FolderOrder, NumbersInNamesCompareAsNumbers) {
  EXPECT_EQ(Sorted({"pose10.cz1", "pose2.cz1", "pose1.cz1", "pose100.cz1", "pose11.cz1"}),
            (std::vector<std::string>{"pose1.cz1", "pose2.cz1", "pose10.cz1", "pose11.cz1", "pose100.cz1"}));
  // Several runs, each compared on its own; a number longer than any
  // integer type still orders by its digits.
  EXPECT_EQ(Sorted({"ev2_10.cz1", "ev10_2.cz1", "ev2_9.cz1", "123456789012345678901234.tga", "99.tga"}),
            (std::vector<std::string>{"99.tga", "123456789012345678901234.tga", "ev2_9.cz1", "ev2_10.cz1",
                                      "ev10_2.cz1"}));
}

TEST(FolderOrder, CaseIgnoredInEveryScriptAndTiesBrokenForATotalOrder) {
  EXPECT_LT(CompareNatural("apple.cz1", "Banana.cz1"), 0);
  EXPECT_LT(CompareNatural("Émile.tga", "éric.tga"), 0);      // Latin-1
  EXPECT_LT(CompareNatural(u8"Ωmega.tga", u8"ωz.tga"), 0);    // Greek
  EXPECT_LT(CompareNatural(u8"Дом.tga", u8"дом2.tga"), 0);    // Cyrillic
  EXPECT_LT(CompareNatural(u8"ＡＢ.tga", u8"ａｃ.tga"), 0);  // full-width Latin
  // Names that differ in case or leading zeros only still have one order,
  // the same whichever way they are asked.
  for (auto [a, b] : {std::pair{"A.cz1", "a.cz1"}, {"x7.cz1", "x007.cz1"}, {"x07.cz1", "x007.cz1"}}) {
    EXPECT_LT(CompareNatural(a, b), 0) << a << " " << b;
    EXPECT_GT(CompareNatural(b, a), 0) << a << " " << b;
  }
  EXPECT_EQ(CompareNatural("same.cz1", "same.cz1"), 0);
  // A name that starts another comes first; so does a space before a dot.
  EXPECT_LT(CompareNatural("pose.cz1", "pose.cz1.bak"), 0);
  EXPECT_LT(CompareNatural("a b.cz1", "a.cz1"), 0);
}

TEST(FolderOrder, NamesInAnyScriptAndBrokenBytesSortTheSameFromAnyStart) {
  std::vector<std::string> names = {u8"立ち絵10.cz1", u8"立ち絵9.cz1", u8"한글 2.tga", u8"한글 10.tga", u8"☃.cz2",
                                    u8"😀1.cz1", "plain.cz1", "\xFF\xFE.cz1", "\xE3\x81.cz1", u8"たちえ.cz1"};
  const std::vector<std::string> first = Sorted(names);
  // Japanese after Latin, numbers as numbers inside any script.
  const auto at = [&](const std::string& name) { return std::find(first.begin(), first.end(), name) - first.begin(); };
  EXPECT_LT(at("plain.cz1"), at(u8"たちえ.cz1"));
  EXPECT_LT(at(u8"立ち絵9.cz1"), at(u8"立ち絵10.cz1"));
  EXPECT_LT(at(u8"한글 2.tga"), at(u8"한글 10.tga"));
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::shuffle(names.begin(), names.end(), random);
    EXPECT_EQ(Sorted(names), first);
  }
}

TEST(FolderOrder, PatternsTakeTheWholeLongNameWithoutCase) {
  EXPECT_TRUE(MatchesPattern("scene.cz1", "*.cz1"));
  EXPECT_TRUE(MatchesPattern("SCENE.CZ1", "*.cz1"));
  EXPECT_TRUE(MatchesPattern(u8"背景.cz1", "*.cz1"));
  EXPECT_FALSE(MatchesPattern("x.cz1_old", "*.cz1"));  // what an 8.3 alias would match
  EXPECT_FALSE(MatchesPattern("x.cz12", "*.cz1"));
  EXPECT_FALSE(MatchesPattern("cz1", "*.cz1"));
  EXPECT_TRUE(MatchesPattern("a.b.cz1", "*.cz1"));
  EXPECT_TRUE(MatchesPattern("px01.px", "px??.px"));
  EXPECT_FALSE(MatchesPattern("px1.px", "px??.px"));
  EXPECT_TRUE(MatchesPattern(u8"立1.px", "??.px"));  // '?' is one character, not one byte
  EXPECT_TRUE(MatchesPattern("anything", "*.*"));
  EXPECT_TRUE(MatchesPattern("any.thing", "*"));
  EXPECT_FALSE(MatchesPattern("", "*.cz1"));
}

TEST(FolderOrder, PatternsSplitAsTheDialogJoinsThem) {
  EXPECT_EQ(SplitPatterns("*.cz1;*.cz2; *.px ;;*.tga;"), (std::vector<std::string>{"*.cz1", "*.cz2", "*.px", "*.tga"}));
  EXPECT_TRUE(SplitPatterns("").empty());
  FakePluginList list;
  FakePlugin cz, archive;
  cz.type = kImagePluginType;
  cz.info = {{2, "*.cz1;*.cz2"}, {3, "CZ"}, {4, "*.px"}, {5, "PX"}, {6, "*.nodesc"}};
  archive.type = kArchivePluginType;
  archive.info = {{2, "*.arc"}, {3, "Archive"}};
  list.plugins = {archive, cz};
  // Archives are not pictures; a pattern without a description is not in
  // the dialog's "All Images" either.
  EXPECT_EQ(ImagePatterns(list), "*.cz1;*.cz2;*.px");
  EXPECT_FALSE(list.plugins[1].loaded);
}

TEST(FolderOrder, OnlyPicturesTheyTakeInOrder) {
  const std::vector<std::string> names = {"b10.cz1", "notes.txt", "b9.TGA", "x.cz1_old", "a.cz2", "Thumbs.db"};
  EXPECT_EQ(PicturesInOrder(names, kLeafPatterns), (std::vector<std::string>{"a.cz2", "b9.TGA", "b10.cz1"}));
  EXPECT_TRUE(PicturesInOrder(names, {}).empty());
}

TEST(FolderOrder, NextAndPreviousAlsoFromAFileThatHasGone) {
  const std::vector<std::string> ordered = {"p1.cz1", "p2.cz1", "p10.cz1"};
  EXPECT_EQ(PictureBeside(ordered, "p1.cz1", Step::Next), "p2.cz1");
  EXPECT_EQ(PictureBeside(ordered, "p2.cz1", Step::Next), "p10.cz1");
  EXPECT_EQ(PictureBeside(ordered, "p10.cz1", Step::Next), std::nullopt);
  EXPECT_EQ(PictureBeside(ordered, "p10.cz1", Step::Previous), "p2.cz1");
  EXPECT_EQ(PictureBeside(ordered, "p1.cz1", Step::Previous), std::nullopt);
  // The case the user opened it in does not matter.
  EXPECT_EQ(PictureBeside(ordered, "P2.CZ1", Step::Next), "p10.cz1");
  // Deleted or renamed: its place in the order is kept.
  EXPECT_EQ(PictureBeside(ordered, "p5.cz1", Step::Next), "p10.cz1");
  EXPECT_EQ(PictureBeside(ordered, "p5.cz1", Step::Previous), "p2.cz1");
  EXPECT_EQ(PictureBeside(ordered, "p0.cz1", Step::Previous), std::nullopt);
  EXPECT_EQ(PictureBeside({}, "p1.cz1", Step::Next), std::nullopt);
}

}  // namespace
