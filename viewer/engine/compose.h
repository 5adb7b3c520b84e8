// The composite: the premultiplied foreground blended over a copy of the
// background, and the arithmetic of where the foreground sits. Positions
// are 32-bit and may lie anywhere (a foreground dragged far off the
// background); every sum of a position and a size is made in 64 bits.
#pragma once

#include <algorithm>
#include <cstdint>

#include "viewer/engine/dib.h"

struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

// A sum made in 64 bits, held to the int32 range.
inline int32_t HoldToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Fills `destination` (the background's size and row layout) with the
// background and blends the foreground over it: for each colour byte,
// D = F + ((D × (255 − a)) >> 8). `x` is the foreground's left column and
// `storedRow` the background row (counted from the bottom, as stored) that
// receives the foreground's first stored row. Only the part of the
// foreground that overlaps the background is blended; nothing outside the
// destination is written.
void Compose(uint8_t* destination, const Bgr24View& background, const Bgra32View& foreground, int32_t x,
             int32_t storedRow);

// The stored row for Compose of a foreground whose top row lies `top` rows
// below the background's top row: background height − foreground height −
// top, held to the int32 range. Held values still lie wholly outside the
// background, so the composite is the same as with the exact row.
int32_t StoredRowOfTop(int32_t top, int32_t backgroundHeight, int32_t foregroundHeight);

// The foreground's top-left corner that centres it in a client area:
// |(client − foreground) / 2| on each axis, the division truncating toward
// zero. The absolute value keeps a foreground larger than the client area
// at a positive position of half the excess.
Point CentreForeground(int32_t clientWidth, int32_t clientHeight, int32_t foregroundWidth, int32_t foregroundHeight);

// The position after a drag step of (dx, dy), held to the int32 range.
Point DragForeground(Point position, int32_t dx, int32_t dy);

// True when `point` (picture coordinates, top-down) falls on a foreground
// pixel at `position` whose alpha is not 0: a press there grabs the
// foreground.
bool HitsForeground(const Bgra32View& foreground, Point position, Point point);
