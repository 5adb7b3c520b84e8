#include "viewer/shell/profile_section.h"

#include <gtest/gtest.h>

#include "tests/shell/shell_fakes.h"

namespace {

TEST(ProfileSection, WritesAllLinesAsOneSectionWhenItGoes) {
  FakeProfile profile;
  {
    ProfileSection section(profile, "t.ini", "S");
    EXPECT_TRUE(section.WriteInt("Count", -12));
    EXPECT_TRUE(section.WriteString("Name", "C:\\x y.png"));
    EXPECT_TRUE(profile.writes.empty());
  }
  ASSERT_EQ(profile.writes.size(), 1u);
  EXPECT_EQ(profile.writes[0], std::string("Count = -12\0Name = C:\\x y.png\0\0", 31));
}

TEST(ProfileSection, NothingPendingTouchesNoFile) {
  FakeProfile profile;
  {
    ProfileSection section(profile, "t.ini", "S");
    EXPECT_TRUE(section.Flush());
    section.WriteInt("A", 1);
    EXPECT_TRUE(section.Flush());
    EXPECT_TRUE(section.Flush());
  }
  EXPECT_EQ(profile.writes.size(), 1u);
}

TEST(ProfileSection, SwitchingSectionsFlushesToTheOldOne) {
  FakeProfile profile;
  {
    ProfileSection section(profile, "t.ini", "First");
    section.WriteInt("A", 1);
    EXPECT_TRUE(section.SetSection("Second"));
    section.WriteInt("B", 2);
  }
  EXPECT_EQ(profile.Section("t.ini", "First"), FakeProfile::Lines{"A = 1"});
  EXPECT_EQ(profile.Section("t.ini", "Second"), FakeProfile::Lines{"B = 2"});
}

TEST(ProfileSection, GrowsWhenALineWouldReachTheRoomWithTwoToSpare) {
  FakeProfile profile;
  ProfileSection section(profile, "t.ini", "S");
  EXPECT_EQ(section.room(), 1024u);
  // "K = " and a zero around the value: 1021 characters leave 3.
  section.WriteString("K", std::string(1016, 'v'));
  EXPECT_EQ(section.room(), 1024u);
  section.Flush();
  // 1022 characters would leave exactly 2: grown by 1024.
  section.WriteString("K", std::string(1017, 'v'));
  EXPECT_EQ(section.room(), 2048u);
  // A line longer than 1024 grows the room by its own size.
  section.WriteString("K", std::string(3000, 'v'));
  EXPECT_EQ(section.room(), 2048u + 3005u);
  section.Flush();
  EXPECT_EQ(profile.Section("t.ini", "S").size(), 2u);
  EXPECT_EQ(profile.Section("t.ini", "S")[1], "K = " + std::string(3000, 'v'));
}

}  // namespace
