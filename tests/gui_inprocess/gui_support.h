// What the window tests share: the program's frame built as the program
// builds it, pictures written into a folder of their own, the composite
// the view must show, messages run, files dropped and commands seen.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/engine_windows/support.h"
#include "tests/fixtures/picture.h"
#include "viewer/engine/windows/image_libraries.h"
#include "viewer/shell/language.h"
#include "viewer/shell/main_frame.h"

// Runs every message waiting for this thread. The quit message that a
// destroyed frame posts is taken out of the queue and dropped.
void PumpMessages();

// The frame's outer size in the tests: room for a toolbar, a status bar and
// a view smaller than some pictures and larger than others.
inline constexpr int kFrameWidth = 640;
inline constexpr int kFrameHeight = 480;

// The program's main frame, shown and sized. It takes this width's dist
// folder for the program's folder, where the plug-ins and xxgrp.dll are
// found, and searches `pluginFolder` too when another one is given.
class FrameUnderTest {
 public:
  explicit FrameUnderTest(const std::string& pluginFolder = DistFolder());
  ~FrameUnderTest() { Destroy(); }
  FrameUnderTest(const FrameUnderTest&) = delete;
  FrameUnderTest& operator=(const FrameUnderTest&) = delete;

  // Destroys the window; the frame saves its recent lists then.
  void Destroy();

  CMainFrame& frame() { return *frame_; }
  CTrellinView& view() { return frame_->view(); }
  HWND hwnd() const { return frame_->hwnd(); }
  HWND viewWindow() { return view().hwnd(); }
  HMENU menu() const { return GetMenu(hwnd()); }

  // Runs the program's message loop until the queue is empty and the idle
  // handlers have run, as they do whenever the program waits for input.
  void RunMessages();
  // The command as the menu gives it to the frame; then the loop runs.
  void Command(UINT id);
  std::string Caption() const;
  SIZE ViewClientSize();

 private:
  // The last idle handler: ends the loop once the others have run.
  class StopWhenIdle : public IdleHandler {
   public:
    void OnIdle() override { PostQuitMessage(0); }
  };

  ImageLibraries libraries_;
  MessageLoop loop_;
  StopWhenIdle stop_;
  std::unique_ptr<CMainFrame> frame_;
};

// The settings file the frame loads when it is created and saves when it
// is destroyed: the test program's own path with "ini" as extension.
std::string SettingsFile();
void WriteSettings(const std::string& text);
std::string ReadSettings();

// A frame for each test, started over a settings file of the test's choice
// (an empty one unless it restarts the frame with another; with none, over
// the file as the last frame left it).
class FrameTest : public testing::Test {
 protected:
  void SetUp() override { Restart(""); }
  void TearDown() override { frame_.reset(); }
  void Restart(const std::optional<std::string>& settings, const std::string& pluginFolder = DistFolder());
  FrameUnderTest& frame() { return *frame_; }
  CTrellinView& view() { return frame_->view(); }

  std::unique_ptr<FrameUnderTest> frame_;
};

// Pictures written into a new folder.
class PictureFolder {
 public:
  PictureFolder() : folder_(NewFolder("pictures")) {}
  // The picture as a TGA file: 24-bit for 3 bytes per pixel, 32-bit with
  // alpha for 4. The file's full path.
  std::string Tga(const std::string& name, const Picture& picture) const;
  std::string File(const std::string& name, const Bytes& bytes) const;
  const std::string& path() const { return folder_; }

 private:
  std::string folder_;
};

// A 24-bit picture of distinct colours: a background.
Picture Scene(int width, int height);
// A 32-bit picture with alpha: transparent corners, an opaque middle and
// soft edges between.
Picture Sprite(int width, int height);

// Colours as 0xRRGGBB.
uint32_t RgbOf(const uint8_t* bgr);
// COLOR_APPWORKSPACE, with which the view fills what no picture covers.
uint32_t FillColour();
// A foreground pixel as its premultiplied colour shows alone.
uint32_t PremultipliedOf(const uint8_t* bgra);
// A foreground pixel blended over a background pixel.
uint32_t BlendOf(const uint8_t* bgra, const uint8_t* bgr);

// What the view shows at a point of the picture's own coordinates;
// nothing where no picture is.
std::optional<uint32_t> CompositeAt(const Picture& background, const Picture& foreground, POINT offset, int x, int y);
std::optional<uint32_t> PictureAt(const Picture& picture, int x, int y);
std::optional<uint32_t> PremultipliedAt(const Picture& foreground, int x, int y);

// A drop of files, as the shell hands it to the window.
HDROP DropOf(const std::vector<std::string>& paths);

// Keeps the WM_COMMAND identifiers that a window receives. With `passOn`
// the window still runs them, otherwise none reaches it.
class CommandRecorder {
 public:
  CommandRecorder(HWND window, bool passOn);
  ~CommandRecorder();
  CommandRecorder(const CommandRecorder&) = delete;
  CommandRecorder& operator=(const CommandRecorder&) = delete;
  const std::vector<UINT>& ids() const { return ids_; }
  void Clear() { ids_.clear(); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_;
  bool passOn_;
  WNDPROC previous_;
  std::vector<UINT> ids_;
};

// One item of a menu: a popup with its items, a separator (no text) or a
// command.
struct MenuItem {
  std::string text;
  UINT id = 0;
  bool greyed = false;
  bool checked = false;
  bool popup = false;
  std::vector<MenuItem> items;
};
std::vector<MenuItem> ReadMenu(HMENU menu);
// The texts of a submenu's items, with their identifiers.
std::vector<std::pair<std::string, UINT>> ItemsOf(HMENU menu);
// The File menu's recent submenus, as the frame finds them.
HMENU RecentForegroundMenu(HMENU menu);
HMENU RecentBackgroundMenu(HMENU menu);

// The status bar's text: the simple-mode text while a menu item is
// highlighted, otherwise its one part.
std::string StatusText(HWND statusBar);

// The program's string-table text of that language, as the ANSI calls
// hand it out.
std::string AnsiText(UINT id, Language language = Language::kJapanese);
// Line `index` (from 0) of a text; empty past its last line.
std::string LineOf(const std::string& text, int index);
