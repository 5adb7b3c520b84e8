// The image view with real pictures: its scroll extent and steps, what it
// paints at each scroll position, dragging the foreground, the printed
// page and dropped files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>

#include "platform/windows/text.h"
#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "tests/gui_inprocess/snapshot.h"
#include "viewer/shell/dropped_file.h"
#include "viewer/resources/resource.h"

namespace {

class ViewTest : public FrameTest {
 protected:
  // Opens the picture as the program's open commands do; false on failure.
  bool OpenForeground(const std::string& path) { return view().OpenImage(path.c_str(), kMayBeForeground) == SpiResult::Ok; }
  bool OpenBackground(const std::string& path) { return view().OpenImage(path.c_str(), kMayBeBackground) == SpiResult::Ok; }
  // The centred place of a foreground in the client area as it is now
  // (scroll bars take their room): half the difference, always positive.
  POINT Centred(const Picture& foreground) {
    const SIZE client = frame().ViewClientSize();
    return {std::abs((client.cx - foreground.width) / 2), std::abs((client.cy - foreground.height) / 2)};
  }
  SIZE Client() { return frame().ViewClientSize(); }
  POINT Offset() const { return {view().foregroundOffset().x, view().foregroundOffset().y}; }
  POINT ScrollPosition() const { return {view().scroll().position().x, view().scroll().position().y}; }
  void Scroll(UINT message, WORD request) {
    SendMessageA(frame().viewWindow(), message, MAKEWPARAM(request, 0), 0);
    frame().RunMessages();
  }
  void Mouse(UINT message, WPARAM keys, int x, int y) {
    SendMessageA(frame().viewWindow(), message, keys, MAKELPARAM(x, y));
  }
  CTrellinView& view() const { return frame_->view(); }

  PictureFolder pictures_;
};

// Background only, smaller than the view: it sits at the top-left with the
// fill colour to its right and below.
TEST_F(ViewTest, PaintsEachStateOverTheWholeClientArea) {
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()), [](int, int) { return FillColour(); }), "") << "empty";

  const Picture scene = Scene(120, 90), sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                        ViewShows({0, 0}, [&](int x, int y) { return PictureAt(scene, x, y); })),
            "")
      << "background alone";

  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  const POINT offset = Centred(sprite);
  EXPECT_EQ(Offset().x, offset.x);
  EXPECT_EQ(Offset().y, offset.y);
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                        ViewShows({0, 0}, [&](int x, int y) { return CompositeAt(scene, sprite, offset, x, y); })),
            "")
      << "both, the foreground centred in the view and so mostly beside the small background";

  frame().Command(ID_FILE_NEW);
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                        ViewShows({0, 0}, [&](int x, int y) { return PremultipliedAt(sprite, x, y); })),
            "")
      << "a lone foreground at the top-left whatever its offset, transparent pixels black";
}

TEST_F(ViewTest, CompositeFollowsTheScrollPosition) {
  const Picture scene = Scene(900, 600), sprite = Sprite(60, 50);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  const POINT offset = Centred(sprite);
  const auto composite = [&](int x, int y) { return CompositeAt(scene, sprite, offset, x, y); };
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()), ViewShows({0, 0}, composite)), "");

  Scroll(WM_HSCROLL, SB_BOTTOM);
  Scroll(WM_VSCROLL, SB_BOTTOM);
  const POINT end = {900 - Client().cx, 600 - Client().cy};
  ASSERT_EQ(ScrollPosition().x, end.x);
  ASSERT_EQ(ScrollPosition().y, end.y);
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()), ViewShows(end, composite)), "");
}

// A picture wider than the view and lower than it, scrolled sideways: the
// area below the picture is filled across the whole width, leaving nothing
// of an earlier paint.
TEST_F(ViewTest, WidePictureScrolledSidewaysLeavesNothingUnpainted) {
  const Picture scene = Scene(1500, 100);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("wide.tga", scene)));
  for (WORD request : {SB_PAGEDOWN, SB_BOTTOM}) {
    Scroll(WM_HSCROLL, request);
    const POINT at = ScrollPosition();
    ASSERT_GT(at.x, 0);
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                          ViewShows(at, [&](int x, int y) { return PictureAt(scene, x, y); })),
              "")
        << "at " << at.x;
  }
}

// The same on the screen, where scrolling moves what is shown and only the
// uncovered strip is painted anew.
TEST_F(ViewTest, ScreenAfterScrollingShowsThePictureWhereItIsNow) {
  const Picture scene = Scene(1500, 100);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("wide.tga", scene)));
  UpdateWindow(frame().viewWindow());
  for (WORD request : {SB_PAGEDOWN, SB_LINEDOWN, SB_LINEUP, SB_BOTTOM}) {
    Scroll(WM_HSCROLL, request);
    UpdateWindow(frame().viewWindow());
    const POINT at = ScrollPosition();
    EXPECT_EQ(Differences(ScreenOf(frame().viewWindow()),
                          ViewShows(at, [&](int x, int y) { return PictureAt(scene, x, y); })),
              "")
        << "at " << at.x;
  }
}

// The extent is the picture's size, the steps a hundredth (line, then 10
// pixels for a picture) and a tenth (page) of it; after New, 1 by 1.
TEST_F(ViewTest, ScrollExtentAndSteps) {
  const auto expectScroll = [&](SIZE extent, SIZE line, SIZE page, const char* after) {
    const ScrollModel& s = view().scroll();
    EXPECT_EQ(s.extent().width, extent.cx) << after;
    EXPECT_EQ(s.extent().height, extent.cy) << after;
    EXPECT_EQ(s.line().width, line.cx) << after;
    EXPECT_EQ(s.line().height, line.cy) << after;
    EXPECT_EQ(s.page().width, page.cx) << after;
    EXPECT_EQ(s.page().height, page.cy) << after;
    EXPECT_EQ(s.position().x, 0) << after;
    EXPECT_EQ(s.position().y, 0) << after;
  };
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  expectScroll({1200, 800}, {10, 10}, {120, 80}, "a background");
  SCROLLINFO bar = {sizeof bar, SIF_ALL};
  GetScrollInfo(frame().viewWindow(), SB_HORZ, &bar);
  EXPECT_EQ(bar.nMin, 0);
  EXPECT_EQ(bar.nMax, 1199);
  GetScrollInfo(frame().viewWindow(), SB_VERT, &bar);
  EXPECT_EQ(bar.nMax, 799);

  // A foreground over a background leaves the extent alone.
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", Sprite(40, 30))));
  expectScroll({1200, 800}, {10, 10}, {120, 80}, "a foreground over the background");

  frame().Command(ID_FILE_NEW);
  expectScroll({1, 1}, {1, 1}, {1, 1}, "New");

  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", Sprite(40, 30))));
  expectScroll({40, 30}, {10, 10}, {4, 3}, "a lone foreground");

  frame().Command(ID_FILE_NEW);
  ASSERT_TRUE(OpenForeground(pictures_.Tga("tiny.tga", Sprite(5, 4))));
  expectScroll({5, 4}, {5, 4}, {1, 1}, "a foreground smaller than a line step");
}

TEST_F(ViewTest, ScrollBarsAndWheelMoveWithinTheRange) {
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  Scroll(WM_HSCROLL, SB_LINEDOWN);
  EXPECT_EQ(ScrollPosition().x, 10);
  Scroll(WM_HSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(ScrollPosition().x, 130);
  Scroll(WM_HSCROLL, SB_LINEUP);
  EXPECT_EQ(ScrollPosition().x, 120);
  Scroll(WM_HSCROLL, SB_BOTTOM);
  EXPECT_EQ(ScrollPosition().x, 1200 - Client().cx);
  Scroll(WM_HSCROLL, SB_LINEDOWN);
  EXPECT_EQ(ScrollPosition().x, 1200 - Client().cx) << "held at the end";
  Scroll(WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(ScrollPosition().y, 80);
  Scroll(WM_VSCROLL, SB_TOP);
  EXPECT_EQ(ScrollPosition().y, 0);
  Scroll(WM_VSCROLL, SB_LINEUP);
  EXPECT_EQ(ScrollPosition().y, 0) << "held at the start";

  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  SendMessageA(frame().viewWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_EQ(ScrollPosition().y, static_cast<LONG>(lines) * 10) << "a notch towards the user";

  // A picture that fits the view's height: the wheel scrolls sideways.
  ASSERT_TRUE(OpenBackground(pictures_.Tga("wide.tga", Scene(1500, 100))));
  SendMessageA(frame().viewWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_EQ(ScrollPosition().x, static_cast<LONG>(lines) * 10);
  EXPECT_EQ(ScrollPosition().y, 0);
  // The tilt wheel: to the right scrolls right.
  SendMessageA(frame().viewWindow(), WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(ScrollPosition().x, 2 * static_cast<LONG>(lines) * 10);
  SendMessageA(frame().viewWindow(), WM_MOUSEHWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_EQ(ScrollPosition().x, static_cast<LONG>(lines) * 10);
}

// The wheel set to scroll a screen at a time moves a page step per notch,
// in the wheel's direction.
TEST_F(ViewTest, TheWheelScrollsAPageWhenTheSystemSaysSo) {
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0));
  SendMessageA(frame().viewWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  const LONG afterOne = ScrollPosition().y;
  SendMessageA(frame().viewWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  const LONG afterTwo = ScrollPosition().y;
  SendMessageA(frame().viewWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  const LONG back = ScrollPosition().y;
  SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0);
  EXPECT_EQ(afterOne, 80) << "a tenth of the height";
  EXPECT_EQ(afterTwo, 160);
  EXPECT_EQ(back, 80);
}

// A press on an opaque pixel of the foreground grabs it while both
// pictures are shown; the foreground then follows the mouse, also off the
// background, and the paint shows it where it went.
TEST_F(ViewTest, DraggingTheForeground) {
  const Picture scene = Scene(900, 600), sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  const POINT start = Centred(sprite);
  const POINT middle = {start.x + 20, start.y + 15};

  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, start.x, start.y);  // a transparent corner
  EXPECT_FALSE(view().dragging());
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, start.x - 5, start.y);  // beside the foreground
  EXPECT_FALSE(view().dragging());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, middle.x + 50, middle.y);
  EXPECT_EQ(Offset().x, start.x);

  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, middle.x, middle.y);
  EXPECT_TRUE(view().dragging());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, middle.x + 5, middle.y - 3);
  EXPECT_EQ(Offset().x, start.x + 5);
  EXPECT_EQ(Offset().y, start.y - 3);
  const POINT moved = Offset();
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                        ViewShows({0, 0}, [&](int x, int y) { return CompositeAt(scene, sprite, moved, x, y); })),
            "");
  Mouse(WM_LBUTTONUP, 0, middle.x + 5, middle.y - 3);
  EXPECT_FALSE(view().dragging());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, middle.x + 50, middle.y);
  EXPECT_EQ(Offset().x, start.x + 5) << "after the button went up";

  // Far off the background's top-left corner: nothing is clipped wrongly.
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, moved.x + 20, moved.y + 15);
  ASSERT_TRUE(view().dragging());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, moved.x + 20 - moved.x - 30, moved.y + 15 - moved.y - 20);
  const POINT off = Offset();
  EXPECT_EQ(off.x, -30);
  EXPECT_EQ(off.y, -20);
  EXPECT_EQ(Differences(PrintClient(frame().viewWindow()),
                        ViewShows({0, 0}, [&](int x, int y) { return CompositeAt(scene, sprite, off, x, y); })),
            "");
  // A move without the left button ends the drag.
  Mouse(WM_MOUSEMOVE, 0, 0, 0);
  EXPECT_FALSE(view().dragging());
}

// The press is reckoned in the picture: the scroll position counts.
TEST_F(ViewTest, DraggingInAScrolledView) {
  const Picture sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", Scene(1200, 800))));
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  Scroll(WM_HSCROLL, SB_LINEDOWN);
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  const POINT start = Centred(sprite), middle = {start.x + 20 - 10, start.y + 15 - 10};
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, middle.x, middle.y);
  ASSERT_TRUE(view().dragging());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, middle.x - 4, middle.y + 2);
  EXPECT_EQ(Offset().x, start.x - 4);
  EXPECT_EQ(Offset().y, start.y + 2);
}

TEST_F(ViewTest, NoDragWithOnlyOnePicture) {
  const Picture sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 20, 15);
  EXPECT_FALSE(view().dragging());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 30, 25);
  EXPECT_EQ(Offset().x, Centred(sprite).x);
}

// The page routine paints as the screen does at the page's origin, with
// the fill strips of the view's client area; there is one page only.
TEST_F(ViewTest, PrintedPage) {
  const Picture scene = Scene(120, 90), sprite = Sprite(40, 30);
  ASSERT_TRUE(OpenBackground(pictures_.Tga("scene.tga", scene)));
  ASSERT_TRUE(OpenForeground(pictures_.Tga("sprite.tga", sprite)));
  // Bring the foreground over the small background to see the blend.
  const POINT grip = {Centred(sprite).x + 20, Centred(sprite).y + 15};
  Mouse(WM_LBUTTONDOWN, MK_LBUTTON, grip.x, grip.y);
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, grip.x - Centred(sprite).x + 50, grip.y - Centred(sprite).y + 40);
  Mouse(WM_LBUTTONUP, 0, 0, 0);
  const POINT offset = Offset();
  ASSERT_EQ(offset.x, 50);
  ASSERT_EQ(offset.y, 40);

  Snapshot page(Client().cx, Client().cy);
  EXPECT_TRUE(view().PrintPage(page.dc(), 0));
  GdiFlush();
  EXPECT_EQ(
      Differences(page, ViewShows({0, 0}, [&](int x, int y) { return CompositeAt(scene, sprite, offset, x, y); })), "");

  Snapshot second(Client().cx, Client().cy);
  EXPECT_FALSE(view().PrintPage(second.dc(), 1));
  GdiFlush();
  EXPECT_EQ(Differences(second, [](int, int) { return kUnpainted; }), "") << "page 1 draws nothing";
}

// Only the first dropped file counts: with alpha it becomes the
// foreground, without the background. Failures are silent, and dropped
// files never join a recent list.
TEST_F(ViewTest, DroppedFiles) {
  const std::string sprite = pictures_.Tga("sprite.tga", Sprite(40, 30));
  const std::string scene = pictures_.Tga("scene.tga", Scene(120, 90));
  const std::string text = pictures_.File("notes.txt", Bytes(100, 'x'));
  DialogWatcher dialogs;
  SendMessageA(frame().viewWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({sprite, scene, text})), 0);
  EXPECT_EQ(frame().Caption(), "Trellin - sprite.tga (40x30x32 bit)");
  EXPECT_FALSE(view().document().HasBackground());
  SendMessageA(frame().viewWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({scene})), 0);
  EXPECT_EQ(frame().Caption(), "Trellin - sprite.tga (40x30x32 bit) / scene.tga (120x90x24 bit)");
  SendMessageA(frame().viewWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({text, sprite})), 0);
  EXPECT_EQ(frame().Caption(), "Trellin - sprite.tga (40x30x32 bit) / scene.tga (120x90x24 bit)");
  frame().RunMessages();
  EXPECT_TRUE(dialogs.seen().empty());
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())),
            (std::vector<std::pair<std::string, UINT>>{{"(Empty)", ID_RECENT_FOREGROUND_FIRST}}));
  EXPECT_EQ(ItemsOf(RecentBackgroundMenu(frame().menu())),
            (std::vector<std::pair<std::string, UINT>>{{"(Empty)", ID_RECENT_BACKGROUND_FIRST}}));
}

// DragQueryFile as Windows answers it: with a buffer, the characters it
// copied. A 300-character name comes back as its first 259 characters, so
// the length must be asked first.
UINT WindowsDragQuery(const std::wstring& name, wchar_t* buffer, UINT size) {
  if (!buffer) return static_cast<UINT>(name.size());
  const size_t copied = std::min<size_t>(name.size(), size - 1);
  std::wmemcpy(buffer, name.data(), copied);
  buffer[copied] = L'\0';
  return static_cast<UINT>(copied);
}

// A name of 260 characters or more is not opened: cut to the buffer, it
// names another file, which here exists and is a picture.
TEST_F(ViewTest, ADroppedNameTooLongIsNotOpened) {
  const std::string folder = pictures_.path() + "\\";
  const std::string cutName = std::string(259 - folder.size() - 4, 'b') + ".tga";
  const std::string cut = folder + cutName;
  const std::string scene = pictures_.Tga("scene.tga", Scene(20, 10));
  ASSERT_TRUE(CopyFileA(scene.c_str(), cut.c_str(), FALSE)) << "a picture under the cut name";
  const std::string longName = cut + std::string(41, 'b');
  ASSERT_EQ(longName.size(), 300u);

  const auto query = [&](const std::string& name) {
    return [wide = platform::Utf16(name)](UINT, wchar_t* buffer, UINT size) {
      return WindowsDragQuery(wide, buffer, size);
    };
  };
  EXPECT_EQ(FirstDroppedName(query(longName)), std::nullopt);
  EXPECT_EQ(FirstDroppedName(query(std::string(260, 'c'))), std::nullopt);
  EXPECT_EQ(FirstDroppedName(query(cut)), cut) << "259 characters fit";

  SendMessageA(frame().viewWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({longName})), 0);
  EXPECT_EQ(frame().Caption(), "Trellin");
  SendMessageA(frame().viewWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({cut})), 0);
  EXPECT_EQ(frame().Caption(), "Trellin / " + cutName + " (20x10x24 bit)");
}

}  // namespace
