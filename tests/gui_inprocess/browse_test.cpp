// PageDown and PageUp through the pictures of a folder, and Esc during a
// long open: through the keys as the user presses them, with the texts of
// either language.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "viewer/resources/resource.h"

namespace {

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

class Browsing : public FrameTest, public testing::WithParamInterface<Language> {
 protected:
  void SetUp() override { Restart(Settings()); }
  std::string Settings() const { return std::string("[Settings]\nLanguage=") + LanguageValue(GetParam()) + "\n"; }
  std::string Text(UINT id) const { return AnsiText(id, GetParam()); }
  // The key as the user presses it over the view, with Ctrl or without.
  void Press(UINT key, bool control = false) {
    BYTE state[256] = {};
    state[VK_CONTROL] = control ? 0x80 : 0;
    state[key] = 0x80;
    SetKeyboardState(state);
    PostMessageA(frame().viewWindow(), WM_KEYDOWN, key, 1 | (MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16));
    frame().RunMessages();
    const BYTE released[256] = {};
    SetKeyboardState(const_cast<BYTE*>(released));
  }
  std::string Status() { return StatusText(frame().frame().statusBar()); }
  std::string RecentTop(bool foreground) {
    RecentImageList& list = foreground ? frame().frame().recentForegrounds() : frame().frame().recentBackgrounds();
    return list.Get(foreground ? ID_RECENT_FOREGROUND_FIRST : ID_RECENT_BACKGROUND_FIRST).value_or("");
  }
  // The note of skipped files, with the end of the folder or without.
  std::string Skipped(const std::string& names, UINT end = 0) const {
    const std::string skipped = Text(IDS_BROWSE_SKIPPED);
    std::string note = skipped.substr(0, skipped.find("%1")) + names;
    return end ? note + "  " + Text(end) : note;
  }

  PictureFolder pictures_;
};

// In Explorer's order (pose2 before pose10); a broken file and, for a
// foreground opened with alpha only, a picture without alpha are stepped
// over with a note; the end stops with one. No message box at any point.
TEST_P(Browsing, PageDownAndUpStepThroughTheForegroundsFolder) {
  const std::string folder = pictures_.path();
  pictures_.Tga("pose1.tga", Sprite(40, 30));
  pictures_.Tga("pose2.tga", Sprite(40, 30));
  pictures_.File("pose3.tga", Bytes(100, 0xEE));
  pictures_.Tga("pose4.tga", Scene(40, 30));
  pictures_.Tga("pose10.tga", Sprite(40, 30));
  pictures_.File("pose5.txt", Bytes(10, 0));
  pictures_.Tga("pose6.tga_old", Sprite(40, 30));
  DialogWatcher dialogs;
  ASSERT_EQ(view().OpenImage(Join(folder, "pose1.tga").c_str(), kMayBeForeground), SpiResult::Ok);

  Press(VK_NEXT);
  EXPECT_EQ(frame().Caption(), "Trellin - pose2.tga (40x30x32 bit)");
  EXPECT_EQ(RecentTop(true), Join(folder, "pose2.tga"));
  EXPECT_EQ(Status(), Text(IDS_READY));

  Press(VK_NEXT);
  EXPECT_EQ(frame().Caption(), "Trellin - pose10.tga (40x30x32 bit)");
  EXPECT_EQ(Status(), Skipped("pose3.tga, pose4.tga"));
  EXPECT_EQ(RecentTop(true), Join(folder, "pose10.tga"));

  Press(VK_NEXT);
  EXPECT_EQ(frame().Caption(), "Trellin - pose10.tga (40x30x32 bit)");
  EXPECT_EQ(Status(), Text(IDS_BROWSE_LAST));

  Press(VK_PRIOR);
  EXPECT_EQ(frame().Caption(), "Trellin - pose2.tga (40x30x32 bit)");
  Press(VK_PRIOR);
  Press(VK_PRIOR);
  EXPECT_EQ(frame().Caption(), "Trellin - pose1.tga (40x30x32 bit)");
  EXPECT_EQ(Status(), Text(IDS_BROWSE_FIRST));
  EXPECT_TRUE(dialogs.seen().empty());
  // The background's key does nothing without a background.
  Press(VK_NEXT, true);
  EXPECT_EQ(frame().Caption(), "Trellin - pose1.tga (40x30x32 bit)");
}

// A forced foreground steps on forced (a picture without alpha comes in
// keyed); one of the same size keeps the place it was dragged to, one of
// another size is centred. A file deleted meanwhile keeps its place.
TEST_P(Browsing, AForcedForegroundStaysForcedAndKeepsItsPlace) {
  const std::string folder = pictures_.path();
  const std::string scene = pictures_.Tga("scene.tga", Scene(300, 200));
  pictures_.Tga("a.tga", Sprite(40, 30));
  pictures_.Tga("b.tga", Scene(40, 30));
  pictures_.Tga("c.tga", Sprite(50, 30));
  const std::string gone = pictures_.Tga("bb.tga", Sprite(40, 30));
  ASSERT_EQ(view().OpenImage(scene.c_str(), kMayBeBackground), SpiResult::Ok);
  ASSERT_EQ(view().ForceForeground(Join(folder, "a.tga").c_str()), SpiResult::Ok);
  const Point centred = view().foregroundOffset();
  // Dragged by an opaque pixel in the sprite's middle.
  const Offset scrolled = view().scroll().position();
  const int x = centred.x + 20 - scrolled.x, y = centred.y + 15 - scrolled.y;
  SendMessageA(frame().viewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(frame().viewWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 7, y + 5));
  SendMessageA(frame().viewWindow(), WM_LBUTTONUP, 0, MAKELPARAM(x + 7, y + 5));
  const Point dragged = view().foregroundOffset();
  ASSERT_EQ(dragged.x, centred.x + 7);

  Press(VK_NEXT);
  EXPECT_EQ(frame().Caption(), "Trellin - b.tga (40x30x32 bit) / scene.tga (300x200x24 bit)");
  EXPECT_EQ(view().foregroundOffset().x, dragged.x);
  EXPECT_EQ(view().foregroundOffset().y, dragged.y);

  ASSERT_TRUE(DeleteFileA(gone.c_str()));
  Press(VK_PRIOR);  // from b: a (bb has gone)
  EXPECT_EQ(frame().Caption(), "Trellin - a.tga (40x30x32 bit) / scene.tga (300x200x24 bit)");
  Press(VK_NEXT);
  Press(VK_NEXT);
  EXPECT_EQ(frame().Caption(), "Trellin - c.tga (50x30x32 bit) / scene.tga (300x200x24 bit)");
  const Point after = view().foregroundOffset();
  frame().Command(ID_VIEW_CENTRE_FOREGROUND);
  EXPECT_EQ(view().foregroundOffset().x, after.x);
  EXPECT_EQ(view().foregroundOffset().y, after.y);
  // The background's folder: only pictures without alpha open as one.
  Press(VK_PRIOR, true);
  EXPECT_EQ(frame().Caption(), "Trellin - c.tga (50x30x32 bit) / b.tga (40x30x24 bit)");
  EXPECT_EQ(RecentTop(false), Join(folder, "b.tga"));
  Press(VK_PRIOR, true);
  EXPECT_EQ(frame().Caption(), "Trellin - c.tga (50x30x32 bit) / b.tga (40x30x24 bit)");
  EXPECT_EQ(Status(), Skipped("a.tga", IDS_BROWSE_FIRST));
}

TEST_P(Browsing, WithoutAPictureFromAFileTheKeysDoNothing) {
  CommandRecorder commands(frame().hwnd(), true);
  for (bool control : {false, true}) {
    Press(VK_NEXT, control);
    Press(VK_PRIOR, control);
  }
  EXPECT_EQ(commands.ids(), (std::vector<UINT>{ID_BROWSE_NEXT_FOREGROUND, ID_BROWSE_PREVIOUS_FOREGROUND,
                                               ID_BROWSE_NEXT_BACKGROUND, ID_BROWSE_PREVIOUS_BACKGROUND}));
  EXPECT_EQ(frame().Caption(), "Trellin");
  EXPECT_EQ(Status(), Text(IDS_READY));
}

// What reaches the windows while a picture opens: only painting. Noted
// with whether the stand-in plug-in was at work then.
class MessageSpy {
 public:
  struct Seen {
    UINT message;
    WPARAM wParam;
    bool duringOpen;
    std::string status;
  };

  MessageSpy(HWND window, HWND statusBar) : window_(window), statusBar_(statusBar) {
    spies()[window] = this;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageSpy::Procedure)));
  }
  ~MessageSpy() {
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    spies().erase(window_);
  }
  MessageSpy(const MessageSpy&) = delete;
  MessageSpy& operator=(const MessageSpy&) = delete;
  const std::vector<Seen>& seen() const { return seen_; }

 private:
  static std::map<HWND, MessageSpy*>& spies() {
    static std::map<HWND, MessageSpy*> all;
    return all;
  }
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageSpy* self = spies().at(window);
    if (message == WM_PAINT || message == WM_COMMAND || message == WM_KEYDOWN || message == WM_DROPFILES) {
      char inPicture[4] = "";
      GetEnvironmentVariableA("FAKE_IN_PICTURE", inPicture, sizeof inPicture);
      self->seen_.push_back({message, wParam, inPicture[0] == '1', StatusText(self->statusBar_)});
    }
    return CallWindowProcA(self->previous_, window, message, wParam, lParam);
  }

  HWND window_;
  HWND statusBar_;
  WNDPROC previous_;
  std::vector<Seen> seen_;
};

// With the slow stand-in plug-in (20 reports, 100 ms apart): after half a
// second the status bar shows the progress and the view repaints; Esc
// stops the open, the picture and caption stay, no message shows, and
// the status bar says it was stopped. A second PageDown pressed meanwhile
// is dropped, and a command waiting in the queue runs only afterwards.
class SlowOpen : public Browsing {
 protected:
  void SetUp() override {
    CopyInto(FakesFolder() + "\\" + FakeName(13), plugins_);
    Restart(Settings(), plugins_);
  }
  const std::string plugins_ = NewFolder("slow");
  const char kDigit = static_cast<char>('0' + 13);
  // The stand-in's pattern is "*.fk" and its digit.
  std::string SlowName(const std::string& stem) { return stem + ".fk" + kDigit; }
  Bytes SlowPicture() { return FakeFile(kDigit, PackedBitmap(2, 2, 32, {}, Bytes(16, 0xFF))); }
};

TEST_P(SlowOpen, EscDuringPageDownLeavesThePictureAndOnlyPaintingRunsMeanwhile) {
  const std::string first = pictures_.Tga("a.tga", Sprite(40, 30));
  pictures_.File(SlowName("b"), SlowPicture());
  ASSERT_EQ(view().OpenImage(first.c_str(), kMayBeForeground), SpiResult::Ok);
  frame().RunMessages();
  const std::string caption = frame().Caption();
  DialogWatcher dialogs;
  MessageSpy viewSpy(frame().viewWindow(), frame().frame().statusBar());
  MessageSpy frameSpy(frame().hwnd(), frame().frame().statusBar());
  InvalidateRect(frame().viewWindow(), nullptr, FALSE);
  PostMessageA(frame().viewWindow(), WM_KEYDOWN, VK_NEXT, 1);
  PostMessageA(frame().hwnd(), WM_COMMAND, ID_VIEW_CENTRE_FOREGROUND, 0);
  PostMessageA(frame().viewWindow(), WM_KEYDOWN, VK_NEXT, 1);
  PostMessageA(frame().viewWindow(), WM_KEYDOWN, VK_ESCAPE, 1);
  const DWORD start = GetTickCount();
  frame().RunMessages();
  EXPECT_LT(GetTickCount() - start, 1800u) << "stopped before its end";

  EXPECT_EQ(frame().Caption(), caption);
  EXPECT_EQ(view().document().foregroundName(), first);
  EXPECT_TRUE(dialogs.seen().empty());
  EXPECT_EQ(Status(), Text(IDS_OPEN_CANCELLED));
  EXPECT_EQ(RecentTop(true), "");
  bool paintedDuringOpen = false;
  for (const MessageSpy::Seen& seen : viewSpy.seen()) {
    if (seen.message == WM_PAINT && seen.duringOpen) {
      paintedDuringOpen = true;
      const std::string progress = Text(IDS_OPEN_PROGRESS);
      EXPECT_EQ(seen.status.substr(0, progress.find("%1")), progress.substr(0, progress.find("%1")));
    }
    EXPECT_FALSE(seen.message != WM_PAINT && seen.duringOpen) << seen.message;
  }
  EXPECT_TRUE(paintedDuringOpen);
  // The first PageDown's key, then the waiting command, after the open.
  std::vector<WPARAM> commands;
  for (const MessageSpy::Seen& seen : frameSpy.seen()) {
    EXPECT_FALSE(seen.message != WM_PAINT && seen.duringOpen) << seen.message;
    if (seen.message == WM_COMMAND) commands.push_back(LOWORD(seen.wParam));
  }
  EXPECT_EQ(commands, (std::vector<WPARAM>{ID_BROWSE_NEXT_FOREGROUND, ID_VIEW_CENTRE_FOREGROUND}));
}

// A recent entry stopped with Esc shows no message and stays in the list.
TEST_P(SlowOpen, EscDuringARecentReopenKeepsTheEntry) {
  const std::string slow = pictures_.File(SlowName("slow"), SlowPicture());
  Restart(Settings() + "[RecentFgImage]\nDocumentCount=8\nDocument1=" + slow + "\n", plugins_);
  DialogWatcher dialogs;
  PostMessageA(frame().viewWindow(), WM_KEYDOWN, VK_ESCAPE, 1);
  frame().Command(ID_RECENT_FOREGROUND_FIRST);
  EXPECT_TRUE(dialogs.seen().empty());
  EXPECT_EQ(frame().Caption(), "Trellin");
  EXPECT_EQ(Status(), Text(IDS_OPEN_CANCELLED));
  EXPECT_EQ(RecentTop(true), slow);
  // Without Esc it opens, after its two seconds.
  frame().Command(ID_RECENT_FOREGROUND_FIRST);
  EXPECT_EQ(frame().Caption(), "Trellin - " + SlowName("slow") + " (2x2x32 bit)");
  EXPECT_EQ(Status(), Text(IDS_READY));
}

std::string LanguageName(const testing::TestParamInfo<Language>& info) {
  return info.param == Language::kJapanese ? "Japanese" : "English";
}

INSTANTIATE_TEST_SUITE_P(, Browsing, testing::Values(Language::kJapanese, Language::kEnglish), LanguageName);
INSTANTIATE_TEST_SUITE_P(, SlowOpen, testing::Values(Language::kJapanese, Language::kEnglish), LanguageName);

}  // namespace
