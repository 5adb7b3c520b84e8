#include "tests/gui_inprocess/snapshot.h"

#include <sstream>

#include "tests/gui_inprocess/gui_support.h"

Snapshot::Snapshot(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<uint32_t*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) bits_[i] = kUnpainted;
}

Snapshot::Snapshot(Snapshot&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      dc_(other.dc_),
      bitmap_(other.bitmap_),
      previous_(other.previous_),
      bits_(other.bits_) {
  other.dc_ = nullptr;
  other.bitmap_ = nullptr;
}

Snapshot::~Snapshot() {
  if (!dc_) return;
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

Snapshot PrintClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  Snapshot shot(client.right, client.bottom);
  SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.dc()), PRF_CLIENT);
  GdiFlush();
  return shot;
}

Snapshot ScreenOf(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  Snapshot shot(client.right, client.bottom);
  HDC screen = GetDC(window);
  BitBlt(shot.dc(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  ReleaseDC(window, screen);
  GdiFlush();
  return shot;
}

std::string Differences(const Snapshot& shot, const std::function<uint32_t(int x, int y)>& expected) {
  std::ostringstream report;
  int count = 0;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      const uint32_t want = expected(x, y), got = shot.At(x, y);
      if (want == got) continue;
      if (++count <= 5)
        report << std::hex << " (" << std::dec << x << "," << y << "): " << std::hex << got << " not " << want << ";";
    }
  }
  if (count == 0) return {};
  return std::to_string(count) + " pixels differ:" + report.str();
}

std::function<uint32_t(int, int)> ViewShows(POINT scroll,
                                            const std::function<std::optional<uint32_t>(int, int)>& picture) {
  const uint32_t fill = FillColour();
  return [=](int x, int y) { return picture(x + scroll.x, y + scroll.y).value_or(fill); };
}
