#include "viewer/shell/zoom_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/shell/geometry_equal.h"
#include "tests/shell/shell_fakes.h"
#include "viewer/shell/settings_section.h"

namespace {

std::vector<Scale> StepScales() {
  std::vector<Scale> scales;
  for (int percent : kZoomPercents) scales.push_back(*StepScale(percent));
  return scales;
}

double ValueOf(Scale s) { return static_cast<double>(s.num) / s.den; }

TEST(ZoomSteps, EachStepIsItsFractionAndShowsItsPercentage) {
  const std::vector<Scale> expected = {{1, 4}, {1, 3}, {1, 2}, {2, 3}, {1, 1}, {3, 2},
                                       {2, 1}, {3, 1}, {4, 1}, {6, 1}, {8, 1}};
  EXPECT_EQ(StepScales(), expected);
  for (int percent : kZoomPercents) EXPECT_EQ(PercentOf(*StepScale(percent)), percent);
  EXPECT_EQ(StepScale(0), std::nullopt);
  EXPECT_EQ(StepScale(120), std::nullopt);
  EXPECT_EQ(StepScale(-200), std::nullopt);
}

TEST(ZoomSteps, InAndOutWalkTheStepsAndStopAtTheirEnds) {
  ZoomModel zoom;
  std::vector<int> in;
  while (zoom.StepIn()) in.push_back(zoom.percent());
  EXPECT_EQ(in, (std::vector<int>{150, 200, 300, 400, 600, 800}));
  EXPECT_EQ(zoom.percent(), 800) << "stays at the largest step";
  std::vector<int> out;
  while (zoom.StepOut()) out.push_back(zoom.percent());
  EXPECT_EQ(out, (std::vector<int>{600, 400, 300, 200, 150, 100, 67, 50, 33, 25}));
  EXPECT_EQ(zoom.percent(), 25) << "stays at the smallest step";
  EXPECT_EQ(zoom.scale(), (Scale{1, 4}));
}

// A fitted scale between two steps goes to the next step either way; one
// on a step goes past it; one below the smallest step can only grow.
TEST(ZoomSteps, SteppingFromAnyFittedScale) {
  const struct {
    Extent client;
    int in, out;
  } cases[] = {
      {{1037, 2000}, 67, 50},  // 1037/1920, 54 %
      {{960, 2000}, 67, 33},   // exactly a half
      {{640, 2000}, 50, 25},   // exactly a third
      {{1919, 2000}, 100, 67}, // just below 100 %
      {{4000, 4000}, 150, 67}, // fitting a small picture stays at 100 %
  };
  for (const auto& c : cases) {
    ZoomModel zoom;
    zoom.SetFit({1920, 1080}, c.client);
    ASSERT_TRUE(zoom.fit());
    ZoomModel out = zoom;
    EXPECT_TRUE(zoom.StepIn());
    EXPECT_FALSE(zoom.fit()) << "a step leaves fitting";
    EXPECT_EQ(zoom.percent(), c.in) << c.client.width;
    EXPECT_TRUE(out.StepOut());
    EXPECT_EQ(out.percent(), c.out) << c.client.width;
  }
  ZoomModel tiny;
  tiny.SetFit({4000, 4000}, {400, 400});
  EXPECT_EQ(tiny.scale(), (Scale{1, 10}));
  EXPECT_EQ(PercentOf(tiny.scale()), 10);
  EXPECT_FALSE(tiny.StepOut()) << "nothing below 25 %";
  EXPECT_TRUE(tiny.fit());
  EXPECT_TRUE(tiny.StepIn());
  EXPECT_EQ(tiny.percent(), 25);
}

TEST(ZoomSteps, OnlyStepsCanBeChosen) {
  ZoomModel zoom;
  EXPECT_FALSE(zoom.SetPercent(120));
  EXPECT_EQ(zoom.percent(), 100);
  EXPECT_TRUE(zoom.SetPercent(33));
  EXPECT_EQ(zoom.scale(), (Scale{1, 3}));
}

// The whole picture shows, and it fills the window on one axis.
TEST(FitScale, TheWholePictureFillsOneAxis) {
  for (const Extent picture : {Extent{1920, 1080}, Extent{800, 600}, Extent{97, 1013}, Extent{5000, 3}}) {
    for (const Extent client : {Extent{640, 480}, Extent{333, 77}, Extent{1, 1}, Extent{96, 1000}}) {
      const std::optional<Scale> scale = FitScale(picture, client);
      ASSERT_TRUE(scale);
      const Extent shown = Zoomed(picture, *scale);
      EXPECT_LE(shown.width, client.width) << picture.width << "x" << picture.height << " in " << client.width;
      EXPECT_LE(shown.height, client.height) << picture.width << "x" << picture.height << " in " << client.width;
      const bool fillsAxis = shown.width == client.width || shown.height == client.height;
      EXPECT_TRUE(fillsAxis || *scale == (Scale{1, 1}))
          << picture.width << "x" << picture.height << " in " << client.width << "x" << client.height;
      EXPECT_LE(ValueOf(*scale), 1.0);
    }
  }
}

TEST(FitScale, NeverAboveActualSizeAndNothingForAnEmptyWindow) {
  EXPECT_EQ(FitScale({100, 80}, {640, 480}), (Scale{1, 1})) << "a small picture is not enlarged";
  EXPECT_EQ(FitScale({640, 480}, {640, 480}), (Scale{1, 1}));
  EXPECT_EQ(FitScale({1920, 1080}, {960, 1000}), (Scale{1, 2}));
  EXPECT_EQ(FitScale({1920, 1080}, {2000, 540}), (Scale{1, 2})) << "limited by the height";
  EXPECT_EQ(FitScale({1920, 1080}, {1000, 1000}), (Scale{25, 48}));
  EXPECT_EQ(FitScale({1920, 1080}, {0, 500}), std::nullopt);
  EXPECT_EQ(FitScale({1920, 1080}, {500, -1}), std::nullopt);

  ZoomModel zoom;
  zoom.SetFit({1920, 1080}, {960, 1000});
  EXPECT_FALSE(zoom.Refit({1920, 1080}, {960, 800})) << "the same scale";
  EXPECT_FALSE(zoom.Refit({1920, 1080}, {0, 0})) << "a minimised window keeps it";
  EXPECT_EQ(zoom.scale(), (Scale{1, 2}));
  EXPECT_TRUE(zoom.Refit({1920, 1080}, {640, 1000}));
  EXPECT_EQ(zoom.scale(), (Scale{1, 3}));
  zoom.SetPercent(200);
  EXPECT_FALSE(zoom.Refit({1920, 1080}, {960, 1000})) << "a step is no fit";
  EXPECT_EQ(zoom.scale(), (Scale{2, 1}));
}

// A picture wider than the denominator's limit still fits, at a scale
// rounded down; one more than that limit times the window's size shows at
// the smallest scale.
TEST(FitScale, HugePicturesStillFit) {
  const Extent picture{300007, 11}, client{1000, 1000};
  const Scale scale = *FitScale(picture, client);
  EXPECT_LE(scale.den, kMaxScaleDenominator);
  EXPECT_LE(Zoomed(picture, scale).width, client.width);
  EXPECT_GE(Zoomed(picture, scale).width, client.width - 5);
  EXPECT_EQ(FitScale({536870912, 1}, {100, 100}), (Scale{1, kMaxScaleDenominator}));
}

// Every window pixel shows a picture pixel inside the picture; every
// picture pixel starts at the window pixel that shows it; at whole
// factors k, window pixels k·p to k·p + k − 1 show pixel p.
TEST(ZoomCoordinates, PictureAndWindowAtEveryStep) {
  const int32_t size = 37;
  for (const Scale scale : StepScales()) {
    const int32_t zoomed = ZoomedLength(size, scale);
    EXPECT_EQ(zoomed, static_cast<int32_t>(std::ceil(size * ValueOf(scale) - 1e-9))) << ValueOf(scale);
    int32_t previous = -1;
    for (int32_t w = 0; w < zoomed; ++w) {
      const int32_t p = PictureCoordinate(w, scale);
      EXPECT_GE(p, previous) << "in order";
      EXPECT_LT(p, size) << ValueOf(scale) << " at " << w;
      EXPECT_LE(p - previous, scale.den / scale.num + 1) << "no gap wider than the reduction";
      previous = p;
    }
    EXPECT_EQ(previous, size - 1) << "the last window pixel shows the last picture pixel";
    for (int32_t p = 0; p < size; ++p) {
      const int32_t w = WindowCoordinate(p, scale);
      if (scale.num >= scale.den) EXPECT_EQ(PictureCoordinate(w, scale), p) << ValueOf(scale);
      if (scale.den == 1) {
        for (int32_t k = 0; k < scale.num; ++k) EXPECT_EQ(PictureCoordinate(p * scale.num + k, scale), p);
      }
    }
  }
  EXPECT_EQ(PictureCoordinate(-1, {2, 1}), -1) << "left of the picture rounds down";
  EXPECT_EQ(PictureCoordinate(-3, {1, 3}), -9);
  EXPECT_EQ(PictureCoordinates({5, 7}, {3, 2}), (Point{3, 4}));
  EXPECT_EQ(Zoomed({1, 1}, {1, 4}), (Extent{1, 1})) << "at least a pixel";
  EXPECT_EQ(ZoomedLength(INT32_MAX, {8, 1}), INT32_MAX) << "held";
}

TEST(ZoomCoordinates, TheClientAreaInPicturePixels) {
  EXPECT_EQ(ClientInPicture({600, 401}, {2, 1}), (Extent{300, 201})) << "a half pixel counts";
  EXPECT_EQ(ClientInPicture({600, 400}, {1, 3}), (Extent{1800, 1200}));
  EXPECT_EQ(ClientInPicture({600, 400}, {1, 1}), (Extent{600, 400}));
}

// The picture point under the pointer stays under it: the window pixel at
// the anchor afterwards covers the point at its top-left corner before.
TEST(ZoomAbout, ThePointUnderThePointerStays) {
  const std::vector<Scale> scales = StepScales();
  for (const Scale from : scales) {
    for (const Scale to : scales) {
      for (const Point anchor : {Point{0, 0}, Point{317, 211}, Point{639, 479}}) {
        const Offset position{WindowCoordinate(400, from), WindowCoordinate(300, from)};
        const Offset after = ZoomAbout(position, anchor, from, to);
        const double before = (position.x + anchor.x) / ValueOf(from);
        const double left = (after.x + anchor.x) / ValueOf(to), right = (after.x + anchor.x + 1) / ValueOf(to);
        EXPECT_LE(left, before + 1e-9) << ValueOf(from) << " to " << ValueOf(to) << " at " << anchor.x;
        EXPECT_GT(right, before + 1e-9) << ValueOf(from) << " to " << ValueOf(to) << " at " << anchor.x;
        const double top = (after.y + anchor.y) / ValueOf(to), bottom = (after.y + anchor.y + 1) / ValueOf(to);
        const double beforeY = (position.y + anchor.y) / ValueOf(from);
        EXPECT_TRUE(top <= beforeY + 1e-9 && bottom > beforeY + 1e-9);
      }
    }
  }
  EXPECT_EQ(ZoomAbout({0, 0}, {100, 50}, {1, 1}, {2, 1}), (Offset{100, 50}));
  EXPECT_EQ(ZoomAbout({100, 50}, {100, 50}, {2, 1}, {1, 1}), (Offset{0, 0})) << "and back";
  EXPECT_EQ(ZoomAbout(ZoomAbout({7, 9}, {31, 17}, {1, 1}, {3, 2}), {31, 17}, {3, 2}, {1, 1}), (Offset{7, 9}));
  EXPECT_EQ(ZoomAbout({INT32_MAX - 5, 0}, {10, 0}, {1, 1}, {8, 1}).x, INT32_MAX) << "held";
  const Scale finest{1, kMaxScaleDenominator}, fitted{65535, kMaxScaleDenominator};
  EXPECT_EQ(ZoomAbout({INT32_MAX, 0}, {INT32_MAX, 0}, finest, {8, 1}).x, INT32_MAX) << "no overflow";
  EXPECT_EQ(ZoomAbout({0, INT32_MIN}, {0, INT32_MIN}, finest, fitted).y, INT32_MIN);
}

TEST(ZoomSetting, TextAndBack) {
  ZoomModel zoom;
  EXPECT_EQ(ZoomSettingText(zoom), "100");
  for (int percent : kZoomPercents) {
    zoom.SetPercent(percent);
    const std::optional<ZoomChoice> read = ParseZoomSetting(ZoomSettingText(zoom));
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->fit);
    EXPECT_EQ(read->percent, percent);
  }
  zoom.SetFit({100, 100}, {50, 50});
  EXPECT_EQ(ZoomSettingText(zoom), "fit");
  EXPECT_TRUE(ParseZoomSetting("fit")->fit);
  EXPECT_TRUE(ParseZoomSetting("Fit")->fit);
  for (const char* other : {"", "120", "200%", " 200", "0200", "fitted", "-25", "99999999999999999999"}) {
    EXPECT_EQ(ParseZoomSetting(other), std::nullopt) << other;
  }
}

// The zoom kept in the Settings section beside the language comes back at
// the next start; a value of no step is not taken.
TEST(ZoomSetting, KeptInTheSettingsSection) {
  const std::string file = "C:\\Tools\\Trellin.ini";
  FakeProfile profile;
  profile.Section(file, kSettingsSection) = {"Language = en"};
  SettingsSection settings;
  settings.Load(profile, file);
  ZoomModel zoom;
  zoom.SetPercent(67);
  settings.Set(kZoomKey, ZoomSettingText(zoom));
  settings.Save(profile, file);
  EXPECT_EQ(profile.Section(file, kSettingsSection), (FakeProfile::Lines{"Language = en", "Zoom = 67"}));
  SettingsSection again;
  again.Load(profile, file);
  const std::optional<ZoomChoice> read = ParseZoomSetting(again.Get(kZoomKey).value_or(""));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->percent, 67);
  EXPECT_EQ(again.Get(kLanguageKey), "en");
  profile.Section(file, kSettingsSection) = {"zoom = 120"};
  again.Load(profile, file);
  EXPECT_EQ(ParseZoomSetting(again.Get(kZoomKey).value_or("")), std::nullopt);
}

// Whole picture pixels only, the remainder kept: at 200 % ten moves of a
// window pixel make five picture pixels, in either direction.
TEST(ForegroundDrag, MovesByPicturePixelsAndKeepsTheRemainder) {
  const auto total = [](Scale scale, Offset scroll, Point from, int dx, int steps) {
    ForegroundDrag drag;
    drag.Start(from, scroll, scale);
    Point moved, at = from;
    for (int i = 0; i < steps; ++i) {
      at.x += dx;
      at.y -= dx;
      const Point step = drag.Step(at);
      moved.x += step.x;
      moved.y += step.y;
    }
    return moved;
  };
  EXPECT_EQ(total({1, 1}, {}, {10, 10}, 1, 7), (Point{7, -7})) << "100 %: the mouse's own distance";
  EXPECT_EQ(total({1, 1}, {33, 44}, {10, 10}, -3, 5), (Point{-15, 15}));
  EXPECT_EQ(total({2, 1}, {}, {10, 10}, 1, 10), (Point{5, -5}));
  EXPECT_EQ(total({2, 1}, {}, {10, 10}, 8, 5), (Point{20, -20})) << "half the mouse's distance";
  EXPECT_EQ(total({2, 1}, {}, {10, 10}, -1, 10), (Point{-5, 5}));
  EXPECT_EQ(total({3, 2}, {}, {0, 30}, 1, 9), (Point{6, -6}));
  EXPECT_EQ(total({1, 2}, {}, {5, 5}, 1, 4), (Point{8, -8})) << "50 %: twice";
  EXPECT_EQ(total({1, 3}, {}, {5, 5}, 2, 3), (Point{18, -18}));

  // The grid is the picture's as shown: scrolled by an odd number of window
  // pixels at 200 %, the first window pixel to the right crosses a picture
  // pixel's edge.
  ForegroundDrag drag;
  drag.Start({0, 0}, {1, 0}, {2, 1});
  EXPECT_EQ(drag.Step({1, 0}), (Point{1, 0}));
  EXPECT_EQ(drag.Step({2, 0}), (Point{0, 0}));
  EXPECT_EQ(drag.Step({-2, 0}), (Point{-2, 0}));
}

}  // namespace
