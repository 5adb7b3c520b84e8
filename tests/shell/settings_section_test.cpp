#include "viewer/shell/settings_section.h"

#include <gtest/gtest.h>

#include "tests/shell/shell_fakes.h"

namespace {

const std::string kFile = "C:\\Tools\\Trellin.ini";

class SettingsSectionTest : public ::testing::Test {
 protected:
  FakeProfile::Lines& Stored() { return profile.Section(kFile, kSettingsSection); }
  FakeProfile profile;
  SettingsSection settings;
};

TEST_F(SettingsSectionTest, ReadsTheKeysOfTheSection) {
  Stored() = {"Language = en", "Zoom=200"};
  profile.Section(kFile, "RecentFgImage") = {"Language = ja"};
  settings.Load(profile, kFile);
  EXPECT_EQ(settings.Get(kLanguageKey), "en");
  EXPECT_EQ(settings.Get("Zoom"), "200");
  // As the profile functions read keys.
  EXPECT_EQ(settings.Get("language"), "en");
  EXPECT_EQ(settings.Get("Missing"), std::nullopt);
}

TEST_F(SettingsSectionTest, AFileWithoutTheSectionIsLeftAsItWas) {
  settings.Load(profile, kFile);
  EXPECT_EQ(settings.Get(kLanguageKey), std::nullopt);
  settings.Save(profile, kFile);
  EXPECT_TRUE(profile.writes.empty());
}

TEST_F(SettingsSectionTest, SavesEveryKeyAsTheSectionsWholeContent) {
  settings.Set(kLanguageKey, "ja");
  settings.Save(profile, kFile);
  ASSERT_EQ(profile.writes.size(), 1u);
  EXPECT_EQ(profile.writes[0], std::string("Language = ja\0", 15));
  EXPECT_EQ(Stored(), FakeProfile::Lines{"Language = ja"});
}

TEST_F(SettingsSectionTest, AChangedKeyKeepsItsPlaceAndKeysOfLaterReleasesStay) {
  Stored() = {"Zoom = 150", "LANGUAGE = ja", "Theme = dark"};
  settings.Load(profile, kFile);
  settings.Set(kLanguageKey, "en");
  settings.Set("Grid", "on");
  settings.Save(profile, kFile);
  EXPECT_EQ(Stored(), (FakeProfile::Lines{"Zoom = 150", "LANGUAGE = en", "Theme = dark", "Grid = on"}));
  SettingsSection again;
  again.Load(profile, kFile);
  EXPECT_EQ(again.Get(kLanguageKey), "en");
}

TEST_F(SettingsSectionTest, LinesWithoutAKeyAreDropped) {
  Stored() = {"just text", "Language=en"};
  settings.Load(profile, kFile);
  settings.Save(profile, kFile);
  EXPECT_EQ(Stored(), FakeProfile::Lines{"Language = en"});
}

}  // namespace
