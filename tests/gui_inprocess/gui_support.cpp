#include "tests/gui_inprocess/gui_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "platform/windows/text.h"
#include "tests/fixtures/tga_writer.h"
#include "viewer/shell/profile_windows.h"
#include "viewer/shell/strings.h"

namespace {

uint32_t Rgb(unsigned red, unsigned green, unsigned blue) { return (red << 16) | (green << 8) | blue; }

uint8_t Premultiply(uint8_t colour, uint8_t alpha) { return static_cast<uint8_t>(colour * (alpha + 1) >> 8); }

}  // namespace

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

FrameUnderTest::FrameUnderTest(const std::string& pluginFolder) {
  const std::wstring more = platform::Utf16(pluginFolder);
  libraries_.Load(platform::Utf16(DistFolder()), pluginFolder == DistFolder() ? nullptr : more.c_str());
  frame_ = std::make_unique<CMainFrame>(loop_, libraries_.plugins, libraries_.writer);
  if (!frame_->Create()) return;
  SetWindowPos(hwnd(), nullptr, 0, 0, kFrameWidth, kFrameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  RunMessages();
}

void FrameUnderTest::Destroy() {
  if (frame_ && frame_->hwnd()) DestroyWindow(frame_->hwnd());
  PumpMessages();
}

// The frame's quit message, once it is destroyed, ends the loop as well.
void FrameUnderTest::RunMessages() {
  loop_.AddIdleHandler(&stop_);
  loop_.Run();
  loop_.RemoveIdleHandler(&stop_);
}

void FrameUnderTest::Command(UINT id) {
  SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
  RunMessages();
}

std::string FrameUnderTest::Caption() const {
  char text[512] = {};
  GetWindowTextA(hwnd(), text, sizeof text);
  return text;
}

SIZE FrameUnderTest::ViewClientSize() {
  RECT client = {};
  GetClientRect(viewWindow(), &client);
  return {client.right, client.bottom};
}

std::string SettingsFile() { return ModuleSettingsFilePath(); }

void WriteSettings(const std::string& text) { WriteFileBytes(SettingsFile(), Bytes(text.begin(), text.end())); }

std::string ReadSettings() {
  const Bytes bytes = ReadFileBytes(SettingsFile());
  return std::string(bytes.begin(), bytes.end());
}

void FrameTest::Restart(const std::optional<std::string>& settings, const std::string& pluginFolder) {
  frame_.reset();
  if (settings) WriteSettings(*settings);
  frame_ = std::make_unique<FrameUnderTest>(pluginFolder);
  ASSERT_TRUE(frame_->hwnd());
}

std::string PictureFolder::Tga(const std::string& name, const Picture& picture) const {
  return File(name, WriteTga(TgaFile{picture}));
}

std::string PictureFolder::File(const std::string& name, const Bytes& bytes) const {
  const std::string path = folder_ + "\\" + name;
  WriteFileBytes(path, bytes);
  return path;
}

Picture Scene(int width, int height) {
  Picture p{width, height, 3, Bytes(static_cast<size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* px = p.At(x, y);
      px[0] = static_cast<uint8_t>(x * 7 + 3);
      px[1] = static_cast<uint8_t>(y * 5 + 11);
      px[2] = static_cast<uint8_t>(x * 3 + y * 2 + 100);
    }
  }
  return p;
}

Picture Sprite(int width, int height) { return SpritePicture(width, height); }

uint32_t RgbOf(const uint8_t* bgr) { return Rgb(bgr[2], bgr[1], bgr[0]); }

uint32_t FillColour() {
  const COLORREF colour = GetSysColor(COLOR_APPWORKSPACE);
  return Rgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

uint32_t PremultipliedOf(const uint8_t* bgra) {
  return Rgb(Premultiply(bgra[2], bgra[3]), Premultiply(bgra[1], bgra[3]), Premultiply(bgra[0], bgra[3]));
}

uint32_t BlendOf(const uint8_t* bgra, const uint8_t* bgr) {
  const int keep = 255 - bgra[3];
  uint8_t out[3];
  for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(Premultiply(bgra[c], bgra[3]) + (bgr[c] * keep >> 8));
  return RgbOf(out);
}

std::optional<uint32_t> PictureAt(const Picture& picture, int x, int y) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return std::nullopt;
  return RgbOf(picture.At(x, y));
}

std::optional<uint32_t> PremultipliedAt(const Picture& foreground, int x, int y) {
  if (x < 0 || y < 0 || x >= foreground.width || y >= foreground.height) return std::nullopt;
  return PremultipliedOf(foreground.At(x, y));
}

std::optional<uint32_t> CompositeAt(const Picture& background, const Picture& foreground, POINT offset, int x, int y) {
  if (x < 0 || y < 0 || x >= background.width || y >= background.height) return std::nullopt;
  const int fx = x - offset.x, fy = y - offset.y;
  if (fx < 0 || fy < 0 || fx >= foreground.width || fy >= foreground.height) return RgbOf(background.At(x, y));
  return BlendOf(foreground.At(fx, fy), background.At(x, y));
}

HDROP DropOf(const std::vector<std::string>& paths) {
  size_t names = 1;  // the list's final zero
  for (const std::string& path : paths) names += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  char* name = reinterpret_cast<char*>(drop + 1);
  for (const std::string& path : paths) {
    std::memcpy(name, path.c_str(), path.size() + 1);
    name += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

namespace {

// One recorder per window at a time.
std::map<HWND, CommandRecorder*>& Recorders() {
  static std::map<HWND, CommandRecorder*> recorders;
  return recorders;
}

}  // namespace

CommandRecorder::CommandRecorder(HWND window, bool passOn)
    : window_(window),
      passOn_(passOn),
      previous_(reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CommandRecorder::Procedure)))) {
  Recorders()[window] = this;
}

CommandRecorder::~CommandRecorder() {
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  Recorders().erase(window_);
}

LRESULT CALLBACK CommandRecorder::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CommandRecorder* self = Recorders().at(window);
  if (message == WM_COMMAND) {
    self->ids_.push_back(LOWORD(wParam));
    if (!self->passOn_) return 0;
  }
  return CallWindowProcA(self->previous_, window, message, wParam, lParam);
}

std::vector<MenuItem> ReadMenu(HMENU menu) {
  std::vector<MenuItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[300] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
    MenuItem item;
    item.text = text;
    item.id = info.hSubMenu ? 0 : info.wID;
    item.greyed = (info.fState & MFS_GRAYED) != 0;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    item.popup = info.hSubMenu != nullptr;
    if (info.hSubMenu) item.items = ReadMenu(info.hSubMenu);
    items.push_back(item);
  }
  return items;
}

std::vector<std::pair<std::string, UINT>> ItemsOf(HMENU menu) {
  std::vector<std::pair<std::string, UINT>> items;
  for (const MenuItem& item : ReadMenu(menu)) items.emplace_back(item.text, item.id);
  return items;
}

HMENU RecentForegroundMenu(HMENU menu) {
  HMENU file = GetSubMenu(menu, 0);
  return GetSubMenu(file, GetMenuItemCount(file) - 4);
}

HMENU RecentBackgroundMenu(HMENU menu) {
  HMENU file = GetSubMenu(menu, 0);
  return GetSubMenu(file, GetMenuItemCount(file) - 3);
}

// In simple mode the first part's index reads the simple text.
std::string StatusText(HWND statusBar) {
  char text[512] = {};
  SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string AnsiText(UINT id, Language language) { return platform::ToAnsiLossy(LoadTextIn(language, id)); }

std::string LineOf(const std::string& text, int index) {
  size_t start = 0;
  for (; index > 0; --index) {
    start = text.find('\n', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  return text.substr(start, text.find('\n', start) - start);
}
