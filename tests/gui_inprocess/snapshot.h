// What a window or a page routine paints, caught in a 32-bit bitmap of our
// own that starts filled with a colour no picture of the tests has, so that
// every pixel left unpainted shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

inline constexpr uint32_t kUnpainted = 0xFE01FD;

class Snapshot {
 public:
  Snapshot(int width, int height);
  ~Snapshot();
  Snapshot(Snapshot&& other) noexcept;
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  Snapshot& operator=(Snapshot&&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // 0xRRGGBB, top row first.
  uint32_t At(int x, int y) const { return bits_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF; }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  uint32_t* bits_;
};

// The view's client area as it paints itself for WM_PRINTCLIENT.
Snapshot PrintClient(HWND window);

// The window's client area as it stands on the screen.
Snapshot ScreenOf(HWND window);

// Compares every pixel with what it must show: `expected` answers for a
// point of the snapshot. An empty text when all match, otherwise the count
// of pixels that differ and the first few of them.
std::string Differences(const Snapshot& shot, const std::function<uint32_t(int x, int y)>& expected);

// The expectation for a view at scroll position `scroll`: the picture where
// `picture` has a pixel, the fill colour everywhere else.
std::function<uint32_t(int, int)> ViewShows(POINT scroll,
                                            const std::function<std::optional<uint32_t>(int, int)>& picture);
