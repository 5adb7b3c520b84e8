#include "viewer/shell/filter_block.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/shell/shell_fakes.h"

namespace {

using namespace std::string_literals;

FakePlugin Plugin(std::map<int, std::string> info, uint32_t type = kImagePluginType) {
  FakePlugin p;
  p.type = type;
  p.info = std::move(info);
  return p;
}

const FilterNames kNames{"All files", "All Images"};

std::string Block(FakePluginList& list, unsigned options = kOpenDialogFilterOptions) {
  std::optional<std::string> block = BuildFilterBlock(list, options, kNames);
  return block.value_or("(none)");
}

const std::string kAllFilesOnly = "All files\0*.*\0\0"s;

TEST(FilterBlock, OnePluginGivesAllImagesThenItsType) {
  FakePluginList list;
  list.plugins = {Plugin({{2, "*.px"}, {3, "PX image"}})};
  EXPECT_EQ(Block(list), "All files\0*.*\0All Images\0*.px\0PX image\0*.px\0\0"s);
  OpenDialogFilter filter = MakeOpenDialogFilter(list, kNames);
  EXPECT_EQ(filter.block, Block(list));
  EXPECT_EQ(filter.index, 2u);
}

TEST(FilterBlock, PluginsInListOrderEachTypeInOrderAndTheExactSize) {
  FakePluginList list;
  FakePlugin cz = Plugin({{2, "*.cz1"}, {3, "CZ1"}, {4, "*.cz2;*.cz3"}, {5, "CZ2 and CZ3"}});
  list.plugins = {cz, Plugin({{2, "*.tga"}, {3, "TGA"}}), cz};
  const std::string block = Block(list);
  EXPECT_EQ(block,
            "All files\0*.*\0All Images\0*.cz1;*.cz2;*.cz3;*.tga;*.cz1;*.cz2;*.cz3\0"
            "CZ1\0*.cz1\0CZ2 and CZ3\0*.cz2;*.cz3\0TGA\0*.tga\0CZ1\0*.cz1\0CZ2 and CZ3\0*.cz2;*.cz3\0\0"s);
  // Each type: its description, its pattern twice, three zeros; and the head.
  size_t size = 9 + 3 + 10 + 4;
  for (auto [d, p] : {std::pair{3, 5}, {11, 11}, {3, 5}, {3, 5}, {11, 11}}) size += d + 2 * p + 3;
  EXPECT_EQ(block.size(), size);
}

TEST(FilterBlock, WithoutEachTypeOnlyAllImages) {
  FakePluginList list;
  list.plugins = {Plugin({{2, "*.px"}, {3, "PX"}}), Plugin({{2, "*.tga"}})};
  EXPECT_EQ(Block(list, kFilterImagePlugins), "All files\0*.*\0All Images\0*.px;*.tga\0\0"s);
}

TEST(FilterBlock, PatternWithoutDescriptionEndsThePluginsTypes) {
  FakePluginList list;
  list.plugins = {Plugin({{2, "*.a"}, {3, "A"}, {4, "*.b"}, {6, "*.c"}, {7, "C"}}), Plugin({{3, "no pattern"}})};
  EXPECT_EQ(Block(list), "All files\0*.*\0All Images\0*.a\0A\0*.a\0\0"s);
}

// An empty text, even one whose call answers a length, is no text: in the
// block it would end the list of file types early.
TEST(FilterBlock, AnEmptyTextEndsThePluginsTypesLikeAMissingOne) {
  FakePluginList list;
  FakePlugin emptyDescription = Plugin({{2, "*.a"}, {3, "A"}, {4, "*.b"}, {5, ""}});
  emptyDescription.claimsWholeBuffer = true;
  FakePlugin emptyPattern = Plugin({{2, ""}, {3, "C"}});
  emptyPattern.claimsWholeBuffer = true;
  list.plugins = {emptyDescription, emptyPattern, Plugin({{2, "*.d"}, {3, "D"}})};
  EXPECT_EQ(Block(list), "All files\0*.*\0All Images\0*.a;*.d\0A\0*.a\0D\0*.d\0\0"s);
}

TEST(FilterBlock, WithoutAnyPatternOnlyAllFiles) {
  FakePluginList list;
  EXPECT_EQ(Block(list), kAllFilesOnly);
  list.plugins = {Plugin({})};
  EXPECT_EQ(Block(list), kAllFilesOnly);
  OpenDialogFilter filter = MakeOpenDialogFilter(list, kNames);
  EXPECT_EQ(filter.block, kAllFilesOnly);
  EXPECT_EQ(filter.index, 0u);
}

TEST(FilterBlock, PluginTypesAsTheOptionsAsk) {
  FakePluginList list;
  list.plugins = {Plugin({{2, "*.lzh"}, {3, "LZH"}}, kArchivePluginType),
                  Plugin({{2, "*.x"}, {3, "X"}}, PluginType("00XX"))};
  EXPECT_EQ(Block(list), "All files\0*.*\0All Images\0*.lzh\0LZH\0*.lzh\0\0"s);
  EXPECT_EQ(Block(list, kFilterImagePlugins | kFilterEachType), kAllFilesOnly);
}

TEST(FilterBlock, LoadedPluginsStayLoadedOthersAreUnloadedAgain) {
  FakePluginList list;
  list.plugins = {Plugin({{2, "*.a"}, {3, "A"}}), Plugin({{2, "*.b"}, {3, "B"}}), Plugin({{2, "*.c"}, {3, "C"}})};
  list.plugins[0].loaded = true;
  list.plugins[2].loadFails = true;
  EXPECT_EQ(Block(list), "All files\0*.*\0All Images\0*.a;*.b\0A\0*.a\0B\0*.b\0\0"s);
  EXPECT_TRUE(list.plugins[0].loaded);
  EXPECT_EQ(list.plugins[0].loads + list.plugins[0].unloads, 0);
  EXPECT_FALSE(list.plugins[1].loaded);
  EXPECT_EQ(list.plugins[1].unloads, 1);
  // A failed load is undone too.
  EXPECT_FALSE(list.plugins[2].loaded);
}

TEST(FilterBlock, MisbehavingPluginsCannotOverrunOrHang) {
  FakePluginList list;
  list.plugins = {FakePlugin{}};
  list.plugins[0].fillsBuffer = true;
  list.plugins[0].info = {{4, "*.b"}, {5, "B"}};
  const std::string x64(64, 'x');
  EXPECT_EQ(Block(list), "All files\0*.*\0All Images\0"s + x64 + ";*.b\0"s + x64 + '\0' + x64 + "\0B\0*.b\0\0"s);

  list.plugins[0] = Plugin({{2, "*.a"}});
  list.plugins[0].answersEverything = true;
  const std::string block = Block(list);
  EXPECT_EQ(std::count(block.begin(), block.end(), ';'), 255);
}

}  // namespace
