#include "viewer/shell/composite_surface.h"

#include <cstring>

SpiResult CompositeSurface::Create(HWND window, const BitmapInfoHeader& background) {
  Delete();
  HDC dc = GetDC(window);
  BITMAPINFO info = {};
  static_assert(sizeof info.bmiHeader == sizeof background, "the same 40-byte header");
  std::memcpy(&info.bmiHeader, &background, sizeof background);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(window, dc);
  if (!bitmap_) return kCannotShow;
  pixels_ = static_cast<uint8_t*>(bits);
  return SpiResult::Ok;
}

void CompositeSurface::Delete() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  pixels_ = nullptr;
}
