// The view at a zoom: the commands, their keys, prompts and tool-tips, the
// status bar's part and the check marks; what the view paints at 200 % and
// 50 %, pressing and dragging the foreground at 200 %, fitting the picture
// to the window, Ctrl with the wheel about the pointer, and the zoom kept
// in the settings file across a restart.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, on which it builds.
#include <commctrl.h>

#include "tests/gui_inprocess/gui_support.h"
#include "tests/gui_inprocess/snapshot.h"
#include "viewer/resources/resource.h"

namespace {

class ZoomTest : public FrameTest {
 protected:
  bool OpenForeground(const std::string& path) { return view().OpenImage(path.c_str(), kMayBeForeground) == SpiResult::Ok; }
  bool OpenBackground(const std::string& path) { return view().OpenImage(path.c_str(), kMayBeBackground) == SpiResult::Ok; }
  SIZE Client() { return frame().ViewClientSize(); }
  POINT Offset() { return {view().foregroundOffset().x, view().foregroundOffset().y}; }
  POINT ScrollPosition() { return {view().scroll().position().x, view().scroll().position().y}; }
  void Mouse(UINT message, WPARAM keys, int x, int y) {
    SendMessageA(frame().viewWindow(), message, keys, MAKELPARAM(x, y));
  }
  // The wheel with keys held, the pointer at a client point of the view.
  void Wheel(int delta, WPARAM keys, POINT client) {
    ClientToScreen(frame().viewWindow(), &client);
    SendMessageA(frame().viewWindow(), WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(client.x, client.y));
    frame().RunMessages();
  }
  std::string ZoomPart() {
    char text[64] = {};
    SendMessageA(frame().frame().statusBar(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    return text;
  }
  bool Checked(UINT id) { return GetMenuState(frame().menu(), id, MF_BYCOMMAND) & MF_CHECKED; }

  PictureFolder pictures_;
};

// Whole factors: the picture pixel at window pixel (x, y) of the zoomed
// picture, repeated, nothing past it.
std::function<std::optional<uint32_t>(int, int)> Enlarged(int factor,
                                                           std::function<std::optional<uint32_t>(int, int)> at) {
  return [=](int x, int y) { return at(x / factor, y / factor); };
}

// 50 %: the mean of each 2 × 2 block, rounded half up, as the scaler's
// weights of a half make it exactly.
std::function<std::optional<uint32_t>(int, int)> Halved(int width, int height,
                                                        std::function<std::optional<uint32_t>(int, int)> at) {
  return [=](int x, int y) -> std::optional<uint32_t> {
    if (x < 0 || y < 0 || x >= (width + 1) / 2 || y >= (height + 1) / 2) return std::nullopt;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
      unsigned sum = 0, count = 0;
      for (int j = 2 * y; j < std::min(2 * y + 2, height); ++j) {
        for (int i = 2 * x; i < std::min(2 * x + 2, width); ++i, ++count) sum += (*at(i, j) >> (8 * c)) & 0xFF;
      }
      out |= ((sum + count / 2) / count) << (8 * c);
    }
    return out;
  };
}

TEST_F(ZoomTest, CommandsStepTheZoomAndTheStatusBarAndMenuFollow) {
  EXPECT_EQ(ZoomPart(), "100%");
  EXPECT_TRUE(Checked(ID_VIEW_ZOOM_ACTUAL));
  EXPECT_FALSE(Checked(ID_VIEW_ZOOM_FIT));
  frame().Command(ID_VIEW_ZOOM_IN);
  EXPECT_EQ(view().zoom().percent(), 150);
  EXPECT_EQ(ZoomPart(), "150%");
  EXPECT_FALSE(Checked(ID_VIEW_ZOOM_ACTUAL));
  for (int i = 0; i < 8; ++i) frame().Command(ID_VIEW_ZOOM_IN);
  EXPECT_EQ(ZoomPart(), "800%") << "held at the largest step";
  frame().Command(ID_VIEW_ZOOM_ACTUAL);
  EXPECT_EQ(ZoomPart(), "100%");
  EXPECT_TRUE(Checked(ID_VIEW_ZOOM_ACTUAL));
  frame().Command(ID_VIEW_ZOOM_OUT);
  frame().Command(ID_VIEW_ZOOM_OUT);
  EXPECT_EQ(ZoomPart(), "50%");

  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  frame().Command(ID_VIEW_ZOOM_FIT);
  EXPECT_TRUE(view().zoom().fit());
  EXPECT_TRUE(Checked(ID_VIEW_ZOOM_FIT));
  EXPECT_FALSE(Checked(ID_VIEW_ZOOM_ACTUAL));
  const int percent = PercentOf(view().zoom().scale());
  EXPECT_LT(percent, 100);
  EXPECT_EQ(ZoomPart(), AnsiText(IDS_ZOOM_FIT_STATUS).replace(AnsiText(IDS_ZOOM_FIT_STATUS).find("%1"), 2,
                                                                std::to_string(percent)));
  // The caption never shows the zoom.
  view().RefreshCaption();
  EXPECT_EQ(frame().Caption(), "Trellin / scene.tga (1200x800x24 bit)");
}

// In each language: the zoom's menu items in the View menu, their prompts
// while highlighted and their tool-tips as the frame gives them; the
// simple-mode prompts leave the zoom's part as it was; fitting shows the
// language's text. The zoom stays when the language changes.
class ZoomInEachLanguage : public ZoomTest, public testing::WithParamInterface<Language> {
 protected:
  void SetUp() override { Restart(std::string("[Settings]\nLanguage=") + LanguageValue(GetParam()) + "\n"); }
};

TEST_P(ZoomInEachLanguage, MenuItemsPromptsToolTipsAndTheStatusBar) {
  const Language language = GetParam();
  HWND bar = frame().frame().statusBar();
  HMENU viewMenu = GetSubMenu(frame().menu(), 2);
  const std::vector<UINT> ids = {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_ACTUAL, ID_VIEW_ZOOM_FIT};
  for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(GetMenuItemID(viewMenu, static_cast<int>(i) + 2), ids[i]);
  for (UINT id : ids) {
    SendMessageA(frame().hwnd(), WM_MENUSELECT, MAKEWPARAM(id, MF_STRING), reinterpret_cast<LPARAM>(frame().menu()));
    EXPECT_EQ(StatusText(bar), LineOf(AnsiText(id, language), 0)) << id;
    EXPECT_FALSE(LineOf(AnsiText(id, language), 0).empty()) << id;
    NMTTDISPINFOW tip = {};
    tip.hdr = {nullptr, id, TTN_GETDISPINFOW};
    SendMessageW(frame().hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&tip));
    ASSERT_TRUE(tip.lpszText);
    char text[100] = {};
    WideCharToMultiByte(CP_ACP, 0, tip.lpszText, -1, text, sizeof text, nullptr, nullptr);
    EXPECT_EQ(std::string(text), LineOf(AnsiText(id, language), 1)) << id;
    EXPECT_FALSE(std::string(text).empty()) << id;
  }
  SendMessageA(frame().hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(StatusText(bar), AnsiText(IDS_READY, language));
  EXPECT_EQ(ZoomPart(), "100%");

  frame().Command(ID_VIEW_ZOOM_FIT);
  const std::string fit = AnsiText(IDS_ZOOM_FIT_STATUS, language);
  EXPECT_EQ(ZoomPart(), fit.substr(0, fit.find("%1")) + "100%");
  const Language other = language == Language::kJapanese ? Language::kEnglish : Language::kJapanese;
  frame().Command(other == Language::kJapanese ? ID_VIEW_LANGUAGE_JAPANESE : ID_VIEW_LANGUAGE_ENGLISH);
  const std::string otherFit = AnsiText(IDS_ZOOM_FIT_STATUS, other);
  EXPECT_EQ(ZoomPart(), otherFit.substr(0, otherFit.find("%1")) + "100%") << "in the other language at once";
  EXPECT_TRUE(view().zoom().fit());
  EXPECT_TRUE(GetMenuState(frame().menu(), ID_VIEW_ZOOM_FIT, MF_BYCOMMAND) & MF_CHECKED) << "the new menu's mark";
}

INSTANTIATE_TEST_SUITE_P(, ZoomInEachLanguage, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                           return std::string(info.param == Language::kJapanese ? "Japanese" : "English");
                         });

// At 200 % every picture pixel is two by two window pixels, on the screen
// and as the view paints itself, scrolled or not, with the fill colour
// beyond the picture; the lone foreground the same, its premultiplied
// colour as it is.
TEST_F(ZoomTest, PaintsEveryPixelTwiceAt200) {
  const Picture scene = Scene(400, 300), sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  frame().Command(ID_VIEW_ZOOM_IN);
  frame().Command(ID_VIEW_ZOOM_IN);
  ASSERT_EQ(view().zoom().percent(), 200);
  EXPECT_EQ(view().scroll().extent().width, 80);
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                        ViewShows({0, 0}, Enlarged(2, [&](int x, int y) { return PremultipliedAt(sprite, x, y); }))),
            "")
      << "a lone foreground";

  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  EXPECT_EQ(view().scroll().extent().width, 800);
  EXPECT_EQ(view().scroll().extent().height, 600);
  const POINT offset = Offset();
  const auto composite = Enlarged(2, [&](int x, int y) { return CompositeAt(scene, sprite, offset, x, y); });
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()), ViewShows({0, 0}, composite)), "");
  UpdateWindow(frame().viewWindow());
  EXPECT_EQ(Differences(ScreenOf(frame().viewWindow()), ViewShows({0, 0}, composite)), "") << "on the screen";

  SendMessageA(frame().viewWindow(), WM_HSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  SendMessageA(frame().viewWindow(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  frame().RunMessages();
  const POINT at = ScrollPosition();
  EXPECT_EQ(at.x, 800 - Client().cx);
  EXPECT_EQ(at.y, 10);
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()), ViewShows(at, composite)), "") << "scrolled";
  UpdateWindow(frame().viewWindow());
  EXPECT_EQ(Differences(ScreenOf(frame().viewWindow()), ViewShows(at, composite)), "") << "scrolled, on the screen";
}

// At 50 % each window pixel is the mean of a 2 × 2 block; an odd size's
// last column and row average what they cover.
TEST_F(ZoomTest, PaintsTheMeanOfEachBlockAt50) {
  const Picture scene = Scene(301, 201), sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  frame().Command(ID_VIEW_ZOOM_OUT);
  frame().Command(ID_VIEW_ZOOM_OUT);
  ASSERT_EQ(view().zoom().percent(), 50);
  EXPECT_EQ(view().scroll().extent().width, 151);
  EXPECT_EQ(view().scroll().extent().height, 101);
  const POINT offset = Offset();
  const auto halved = Halved(301, 201, [&](int x, int y) { return CompositeAt(scene, sprite, offset, x, y); });
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()), ViewShows({0, 0}, halved)), "");
  UpdateWindow(frame().viewWindow());
  EXPECT_EQ(Differences(ScreenOf(frame().viewWindow()), ViewShows({0, 0}, halved)), "") << "on the screen";
}

// A new foreground is centred in the window as many picture pixels as it
// shows; a press is reckoned in picture pixels, and a drag moves the
// foreground by half the mouse's distance, slow moves adding up.
TEST_F(ZoomTest, PressAndDragAt200) {
  const Picture scene = Scene(900, 600), sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  frame().Command(ID_VIEW_ZOOM_IN);
  frame().Command(ID_VIEW_ZOOM_IN);
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  const SIZE client = Client();
  const POINT start = Offset();
  EXPECT_EQ(start.x, std::abs(((client.cx + 1) / 2 - 40) / 2));
  EXPECT_EQ(start.y, std::abs(((client.cy + 1) / 2 - 30) / 2));
  // Zoomed about the window's middle, the view is scrolled: client point
  // of picture point (x, y) is (2x − scroll x, 2y − scroll y).
  const POINT s = ScrollPosition();
  ASSERT_GT(s.x, 0);
  const auto at = [&](int x, int y) { return POINT{2 * x - s.x, 2 * y - s.y}; };

  // The transparent corner, then a pixel beside the foreground.
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, at(start.x, start.y).x + 1, at(start.x, start.y).y + 1);
  EXPECT_FALSE(view().dragging());
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, at(start.x, start.y).x - 1, at(start.x, start.y + 15).y);
  EXPECT_FALSE(view().dragging()) << "the window pixel left of the foreground's first column";

  const POINT grip = at(start.x + 20, start.y + 15);
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, grip.x, grip.y);
  ASSERT_TRUE(view().dragging());
  for (int step = 1; step <= 10; ++step) Mouse(WM_MOUSEMOVE, MK_LBUTTON, grip.x + step, grip.y - step);
  EXPECT_EQ(Offset().x, start.x + 5) << "ten moves of a window pixel";
  EXPECT_EQ(Offset().y, start.y - 5);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, grip.x + 10 + 40, grip.y - 10 + 24);
  EXPECT_EQ(Offset().x, start.x + 25);
  EXPECT_EQ(Offset().y, start.y + 7);
  Mouse(WM_LBUTTONUP, 0, 0, 0);
  const POINT moved = Offset();
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                        ViewShows(s, Enlarged(2, [&](int x, int y) { return CompositeAt(scene, sprite, moved, x, y); }))),
            "");

  // Scrolled by an odd number of window pixels, the press still finds the
  // foreground's own pixels and the drag moves it by whole picture pixels.
  // From 100 % at the top-left, two notches about client point (1, 1) keep
  // picture point (1, 1) there: the view scrolls to (1, 1).
  frame().Command(ID_VIEW_ZOOM_ACTUAL);
  SendMessageA(frame().viewWindow(), WM_HSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  SendMessageA(frame().viewWindow(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  Wheel(2 * WHEEL_DELTA, MK_CONTROL, {1, 1});
  ASSERT_EQ(view().zoom().percent(), 200);
  const POINT odd = ScrollPosition();
  ASSERT_EQ(odd.x, 1);
  const int column = 2 * moved.x - odd.x, row = 2 * (moved.y + 15) - odd.y;
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, column - 1, row);
  EXPECT_FALSE(view().dragging()) << odd.x;
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, column + 2 * 20, row);
  EXPECT_TRUE(view().dragging());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, column + 2 * 20 - 8, row);
  EXPECT_EQ(Offset().x, moved.x - 4);
  Mouse(WM_LBUTTONUP, 0, 0, 0);
}

// What goes out stays at 100 %: the printed page at 200 % is the page at
// 100 %, one picture pixel to one device pixel.
TEST_F(ZoomTest, ThePrintedPageStaysAt100) {
  const Picture scene = Scene(120, 90), sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  frame().Command(ID_VIEW_ZOOM_IN);
  frame().Command(ID_VIEW_ZOOM_IN);
  const POINT offset = Offset();
  Snapshot page(Client().cx, Client().cy);
  EXPECT_TRUE(view().PrintPage(page.dc(), 0));
  GdiFlush();
  EXPECT_EQ(
      Differences(page, ViewShows({0, 0}, [&](int x, int y) { return CompositeAt(scene, sprite, offset, x, y); })), "");
}

// Fit: the whole picture in the window, no scroll bars, not above 100 %
// for a small picture; it follows the window's size and a new picture.
TEST_F(ZoomTest, FitShowsTheWholePictureAndFollowsTheWindow) {
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  frame().Command(ID_VIEW_ZOOM_FIT);
  const auto expectFitted = [&](const char* when) {
    const SIZE client = Client();
    const Extent shown = view().scroll().extent();
    EXPECT_LE(shown.width, client.cx) << when;
    EXPECT_LE(shown.height, client.cy) << when;
    EXPECT_TRUE(shown.width == client.cx || shown.height == client.cy) << when;
    EXPECT_FALSE(GetWindowLongA(frame().viewWindow(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) << when;
  };
  expectFitted("fitted");
  const Scale before = view().zoom().scale();
  SetWindowPos(frame().hwnd(), nullptr, 0, 0, kFrameWidth - 200, kFrameHeight - 100, SWP_NOZORDER | SWP_NOACTIVATE);
  frame().RunMessages();
  expectFitted("smaller");
  EXPECT_NE(view().zoom().scale(), before);
  SetWindowPos(frame().hwnd(), nullptr, 0, 0, kFrameWidth, kFrameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  frame().RunMessages();
  EXPECT_EQ(view().zoom().scale(), before);

  ASSERT_TRUE(OpenBackground(pictures_.Tga("small.tga", Scene(100, 60))));
  EXPECT_EQ(view().zoom().scale(), (Scale{1, 1})) << "a small picture stays at 100 %";
  EXPECT_TRUE(view().zoom().fit());
  EXPECT_EQ(view().scroll().extent().width, 100);

  // Stepping from a fitted scale leaves fitting, for the next step above.
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  const int fitted = PercentOf(view().zoom().scale());
  frame().Command(ID_VIEW_ZOOM_IN);
  EXPECT_FALSE(view().zoom().fit());
  EXPECT_GT(view().zoom().percent(), fitted);
  EXPECT_TRUE(StepScale(view().zoom().percent()));
}

// Ctrl and the wheel zoom a step a notch about the pointer: the picture
// point under it stays there. Without Ctrl the wheel scrolls as always.
TEST_F(ZoomTest, CtrlWheelZoomsAboutThePointer) {
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  SendMessageA(frame().viewWindow(), WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);  // 120
  SendMessageA(frame().viewWindow(), WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);  // 80
  frame().RunMessages();
  ASSERT_EQ(ScrollPosition().x, 120);
  ASSERT_EQ(ScrollPosition().y, 80);

  Wheel(WHEEL_DELTA, MK_CONTROL, {200, 100});
  EXPECT_EQ(view().zoom().percent(), 150);
  EXPECT_EQ(ScrollPosition().x, (120 + 200) * 3 / 2 - 200) << "picture point 320 stays at 200";
  EXPECT_EQ(ScrollPosition().y, (80 + 100) * 3 / 2 - 100);
  Wheel(-WHEEL_DELTA, MK_CONTROL, {200, 100});
  EXPECT_EQ(view().zoom().percent(), 100);
  EXPECT_EQ(ScrollPosition().x, 120) << "and back";
  EXPECT_EQ(ScrollPosition().y, 80);

  // A fine wheel's turns add up to a notch.
  Wheel(WHEEL_DELTA / 2, MK_CONTROL, {0, 0});
  EXPECT_EQ(view().zoom().percent(), 100);
  Wheel(WHEEL_DELTA / 2, MK_CONTROL, {0, 0});
  EXPECT_EQ(view().zoom().percent(), 150);
  Wheel(-2 * WHEEL_DELTA, MK_CONTROL, {0, 0});
  EXPECT_EQ(view().zoom().percent(), 67) << "two notches, two steps";

  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const LONG y = ScrollPosition().y;
  Wheel(-WHEEL_DELTA, 0, {0, 0});
  EXPECT_EQ(view().zoom().percent(), 67);
  EXPECT_EQ(ScrollPosition().y, y + static_cast<LONG>(lines) * 10) << "the plain wheel scrolls";
}

// The zoom is kept in the settings file's section "Settings" and comes
// back at the next start; a value of no step leaves 100 %.
TEST_F(ZoomTest, TheZoomIsKeptAcrossARestart) {
  frame().Command(ID_VIEW_ZOOM_IN);
  frame().Command(ID_VIEW_ZOOM_IN);
  Restart(std::nullopt);
  EXPECT_EQ(view().zoom().percent(), 200);
  EXPECT_NE(ReadSettings().find("[Settings]"), std::string::npos);
  frame().Command(ID_VIEW_ZOOM_FIT);
  Restart(std::nullopt);
  EXPECT_TRUE(view().zoom().fit());
  EXPECT_TRUE(Checked(ID_VIEW_ZOOM_FIT));
  Restart("[Settings]\r\nZoom = 120\r\n");
  EXPECT_EQ(view().zoom().percent(), 100);
  Restart("[Settings]\r\nZoom = 33\r\n");
  EXPECT_EQ(view().zoom().percent(), 33);
  EXPECT_EQ(ZoomPart(), "33%");
}

}  // namespace
