#include "viewer/shell/view_settings.h"

#include <gtest/gtest.h>

#include "tests/shell/shell_fakes.h"

namespace {

const std::string kFile = "C:\\Tools\\Trellin.ini";

// What one run writes the next reads, beside the recent lists' sections,
// which stay as they were.
TEST(ViewSettings, TheZoomComesBackAtTheNextStart) {
  FakeProfile profile;
  profile.Section(kFile, "RecentFgImage") = {"DocumentCount = 8", "Document1 = C:\\a.tga"};
  EXPECT_EQ(ReadZoomSetting(profile, kFile), std::nullopt) << "an earlier release's file";

  ZoomModel zoom;
  zoom.SetPercent(200);
  EXPECT_TRUE(WriteViewSettings(profile, kFile, zoom));
  EXPECT_EQ(profile.Section(kFile, "Settings"), (FakeProfile::Lines{"Zoom = 200"}));
  EXPECT_EQ(profile.Section(kFile, "RecentFgImage").size(), 2u);
  std::optional<ZoomChoice> read = ReadZoomSetting(profile, kFile);
  ASSERT_TRUE(read);
  EXPECT_FALSE(read->fit);
  EXPECT_EQ(read->percent, 200);

  zoom.SetFit({1920, 1080}, {640, 480});
  EXPECT_TRUE(WriteViewSettings(profile, kFile, zoom));
  EXPECT_EQ(profile.Section(kFile, "Settings"), (FakeProfile::Lines{"Zoom = fit"}));
  read = ReadZoomSetting(profile, kFile);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->fit);
}

TEST(ViewSettings, AValueOfNoStepIsIgnored) {
  FakeProfile profile;
  for (const char* value : {"120", "", "x", "200 %"}) {
    profile.Section(kFile, "Settings") = {std::string("Zoom = ") + value};
    EXPECT_EQ(ReadZoomSetting(profile, kFile), std::nullopt) << value;
  }
}

}  // namespace
