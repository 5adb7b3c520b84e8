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

TEST(SettingsFilePath, NamesInAnyScript) {
  EXPECT_EQ(SettingsFilePath(u8"C:\\x\\a.表"), "C:\\x\\a.ini");
  EXPECT_EQ(SettingsFilePath(u8"C:\\한글 ☃\\Trellin.exe"), u8"C:\\한글 ☃\\Trellin.ini");
}

}  // namespace
