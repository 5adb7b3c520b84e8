// The 24-bit bitmap of the background's size that the view composes into
// and copies to the screen: a DIB section, so its rows are ours to write.
#pragma once

#include <windows.h>

#include <cstdint>

#include "viewer/engine/dib.h"
#include "viewer/engine/result.h"

class CompositeSurface {
 public:
  CompositeSurface() = default;
  ~CompositeSurface() { Delete(); }
  CompositeSurface(const CompositeSurface&) = delete;
  CompositeSurface& operator=(const CompositeSurface&) = delete;

  // Replaces the surface with one made from the background's header; Ok,
  // or kCannotShow when none can be made, in which case there is no
  // surface.
  SpiResult Create(HWND window, const BitmapInfoHeader& background);
  void Delete();

  bool Exists() const { return bitmap_ != nullptr; }
  HBITMAP bitmap() const { return bitmap_; }
  uint8_t* pixels() const { return pixels_; }

 private:
  HBITMAP bitmap_ = nullptr;
  uint8_t* pixels_ = nullptr;
};
