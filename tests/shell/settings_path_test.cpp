#include "viewer/shell/settings_path.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsFilePath, ReplacesTheProgramsExtension) {
  EXPECT_EQ(SettingsFilePath("C:\\Tools\\Trellin.exe"), "C:\\Tools\\Trellin.ini");
  EXPECT_EQ(SettingsFilePath("C:\\Tools\\Trellin.v2.exe"), "C:\\Tools\\Trellin.v2.ini");
  EXPECT_EQ(SettingsFilePath("C:\\Tools\\Trellin."), "C:\\Tools\\Trellin.ini");
}

TEST(SettingsFilePath, AppendsWhenTheFileNameHasNoExtension) {
  EXPECT_EQ(SettingsFilePath("C:\\Tools\\Trellin"), "C:\\Tools\\Trellin.ini");
  EXPECT_EQ(SettingsFilePath("C:\\Tools.old\\Trellin"), "C:\\Tools.old\\Trellin.ini");
  EXPECT_EQ(SettingsFilePath("C:/Tools.old/Trellin"), "C:/Tools.old/Trellin.ini");
}

TEST(SettingsFilePath, SecondByteOfADoubleByteCharacterIsNoBackslash) {
  // The name "a.表": 表 is 0x95 0x5C.
  EXPECT_EQ(SettingsFilePath("C:\\x\\a.\x95\x5C"), "C:\\x\\a.ini");
}

}  // namespace
