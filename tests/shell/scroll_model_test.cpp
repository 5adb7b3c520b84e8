#include "viewer/shell/scroll_model.h"

#include <gtest/gtest.h>

#include "tests/shell/geometry_equal.h"

namespace {

TEST(WheelScrollStep, LinesTimesTheLineStepPerNotch) {
  EXPECT_EQ(WheelScrollStep(120, 3, 10, 50), -30) << "away from the user: up";
  EXPECT_EQ(WheelScrollStep(-120, 3, 10, 50), 30);
  EXPECT_EQ(WheelScrollStep(-240, 3, 10, 50), 60) << "two notches at once";
  EXPECT_EQ(WheelScrollStep(-40, 3, 10, 50), 10) << "a third of a notch from a fine wheel";
  EXPECT_EQ(WheelScrollStep(-120, 0, 10, 50), 0) << "wheel scrolling switched off";
}

// "One screen at a time": a page step per notch, in the wheel's direction.
TEST(WheelScrollStep, PageScrollSettingMovesAPage) {
  EXPECT_EQ(WheelScrollStep(-120, kWheelPageScroll, 10, 50), 50);
  EXPECT_EQ(WheelScrollStep(120, kWheelPageScroll, 10, 50), -50);
}

TEST(WheelScrollStep, LargeSettingsAreHeldNotWrapped) {
  EXPECT_EQ(WheelScrollStep(-120, 0xFFFFFFFE, 100000, 50), INT32_MAX);
  EXPECT_EQ(WheelScrollStep(120, 0x7FFFFFFF, 0x7FFFFFFF, 50), -INT32_MAX);
  EXPECT_EQ(WheelScrollStep(-32768, 1000000, 1000, 50), INT32_MAX);
}

// A picture of 1200 × 800 in a client area of 400 × 300, as the view sets
// it up: the steps from the extent, then a line of 10 pixels.
class ScrollModelTest : public testing::Test {
 protected:
  ScrollModelTest() {
    model.SetExtent({1200, 800});
    model.SetLine({10, 10});
  }
  ScrollModel model;
  const Extent client{400, 300};
};

TEST_F(ScrollModelTest, AnExtentSetsTheStepsAndStartsAtTheTopLeft) {
  ScrollModel fresh;
  fresh.MoveTo({5, 5}, {1, 1});
  fresh.SetExtent({1200, 800});
  EXPECT_EQ(fresh.position(), (Offset{0, 0}));
  EXPECT_EQ(fresh.line(), (Extent{12, 8})) << "a hundredth";
  EXPECT_EQ(fresh.page(), (Extent{120, 80})) << "a tenth";
  fresh.SetExtent({0, -3});
  EXPECT_EQ(fresh.extent(), (Extent{1, 1}));
  EXPECT_EQ(fresh.line(), (Extent{1, 1})) << "at least a pixel";
  fresh.SetLine({10, 10});
  EXPECT_EQ(fresh.line(), (Extent{1, 1})) << "never more than the extent";
}

TEST_F(ScrollModelTest, PositionsAreHeldInsideThePicture) {
  EXPECT_EQ(model.MoveTo({100, 50}, client), (Offset{-100, -50})) << "the contents move up and left";
  EXPECT_EQ(model.MoveTo({5000, 5000}, client), (Offset{-700, -450}));
  EXPECT_EQ(model.position(), (Offset{800, 500}));
  model.MoveTo({-20, -20}, client);
  EXPECT_EQ(model.position(), (Offset{0, 0}));
  model.MoveTo({30, 30}, {2000, 2000});
  EXPECT_EQ(model.position(), (Offset{0, 0})) << "a client larger than the picture";
}

TEST_F(ScrollModelTest, ScrollBarRequests) {
  model.MoveTo({130, 90}, client);
  EXPECT_EQ(model.Requested(Axis::Horizontal, ScrollRequest::LineOn, 0), 140);
  EXPECT_EQ(model.Requested(Axis::Horizontal, ScrollRequest::LineBack, 0), 120);
  EXPECT_EQ(model.Requested(Axis::Horizontal, ScrollRequest::PageOn, 0), 250);
  EXPECT_EQ(model.Requested(Axis::Vertical, ScrollRequest::PageBack, 0), 10);
  EXPECT_EQ(model.Requested(Axis::Vertical, ScrollRequest::Start, 0), 0);
  EXPECT_EQ(model.Requested(Axis::Vertical, ScrollRequest::End, 0), 800);
  EXPECT_EQ(model.Requested(Axis::Vertical, ScrollRequest::Thumb, 333), 333);
}

TEST_F(ScrollModelTest, TheWheelScrollsDownOrSidewaysWhereThePictureFits) {
  EXPECT_EQ(model.Wheel(-kWheelNotch, 3, false, client), (Offset{0, -30}));
  EXPECT_EQ(model.Wheel(-kWheelNotch, 3, true, client), (Offset{-30, 0})) << "the tilt wheel";
  EXPECT_EQ(model.Wheel(-kWheelNotch, kWheelPageScroll, false, client), (Offset{0, -80}));
  EXPECT_EQ(model.Wheel(-kWheelNotch, 3, false, {400, 900}).x, -30) << "fits the height: sideways";
  model.Wheel(kWheelNotch * 100, 3, false, client);
  EXPECT_EQ(model.position().y, 0) << "held at the top";
}

// The fill covers what the picture does not, wherever it is scrolled to.
TEST(Fill, OnTheScreenEverythingThePictureLeaves) {
  EXPECT_EQ(ScreenFill({200, 100}, {0, 0}, {400, 300}),
            (std::vector<Box>{{200, 0, 400, 100}, {0, 100, 400, 300}}));
  EXPECT_EQ(ScreenFill({1200, 100}, {900, 0}, {400, 300}), (std::vector<Box>{{1200, 0, 1300, 100}, {900, 100, 1300, 300}}))
      << "a wide, low picture scrolled sideways";
  EXPECT_TRUE(ScreenFill({1200, 800}, {100, 100}, {400, 300}).empty());
  EXPECT_EQ(ScreenFill({0, 0}, {0, 0}, {400, 300}), (std::vector<Box>{{0, 0, 400, 300}})) << "no picture";
}

// The printed page's strips come from the client area as it is.
TEST(Fill, OnThePrinterFromTheClientAreaAsItIs) {
  EXPECT_EQ(PrinterFill({200, 100}, {200, 100}, {400, 300}),
            (std::vector<Box>{{200, 0, 400, 100}, {0, 100, 400, 300}}));
  EXPECT_EQ(PrinterFill({1200, 100}, {1200, 100}, {400, 300}), (std::vector<Box>{{0, 100, 400, 300}}));
  EXPECT_TRUE(PrinterFill({1200, 800}, {1200, 800}, {400, 300}).empty());
}

}  // namespace
