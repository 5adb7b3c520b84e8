// The names a host may hand a plug-in that keeps them in a char[MAX_PATH].
#include "base/plugin_names.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginNames, NoNameOfMaxPathBytesOrMoreReachesAPlugin) {
  const std::string longest(259, 'a'), tooLong(260, 'a');
  EXPECT_TRUE(FitsPlugin(longest));
  EXPECT_FALSE(FitsPlugin(tooLong));
}

TEST(PluginNames, InMemoryIsSupportedGetsTheNameOrItsExtension) {
  EXPECT_EQ(MemoryModeName("sprite.cz2"), "sprite.cz2");
  // 200 characters of code page 932 (two bytes each, the second may be
  // 0x5C or any byte from 0x40 on) and an extension.
  std::string kana;
  for (int i = 0; i < 200; ++i) kana += "\x83\x5C";
  EXPECT_EQ(MemoryModeName(kana + ".cz2"), ".cz2");
  EXPECT_EQ(MemoryModeName(kana + kana), "");
  EXPECT_EQ(MemoryModeName("a." + std::string(300, 'x')), "");
}

}  // namespace
