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

TEST(UserSettingsFilePath, TheSameNameInTheUsersTrellinFolder) {
  EXPECT_EQ(UserSettingsFilePath("C:\\Program Files\\Trellin\\Trellin.exe", "C:\\Users\\a\\AppData\\Local"),
            "C:\\Users\\a\\AppData\\Local\\Trellin\\Trellin.ini");
  EXPECT_EQ(UserSettingsFilePath("C:\\Tools\\viewer.exe", "D:\\Local\\"), "D:\\Local\\Trellin\\viewer.ini");
  EXPECT_EQ(UserSettingsFilePath("C:\\Tools\\viewer.exe", ""), "") << "no such folder: none";
}

// Beside the program as always while that can be written; in a protected
// folder the user's own file takes the changes and, once it exists, is
// read; until then the file beside the program brings the lists in.
TEST(ChooseSettingsFiles, BesideTheProgramUnlessItsFolderIsProtected) {
  const std::string beside = "C:\\Program Files\\Trellin\\Trellin.ini", own = "C:\\Users\\a\\Trellin\\Trellin.ini";
  const auto files = [&](bool writable, bool ownExists) {
    const SettingsFiles f = ChooseSettingsFiles(beside, own, writable, ownExists);
    return std::make_pair(f.read, f.write);
  };
  EXPECT_EQ(files(true, false), std::make_pair(beside, beside));
  EXPECT_EQ(files(true, true), std::make_pair(beside, beside)) << "a program moved to a folder of the user's own";
  EXPECT_EQ(files(false, false), std::make_pair(beside, own));
  EXPECT_EQ(files(false, true), std::make_pair(own, own));
  const SettingsFiles noOwnFolder = ChooseSettingsFiles(beside, "", false, false);
  EXPECT_EQ(noOwnFolder.write, beside);
}

}  // namespace
