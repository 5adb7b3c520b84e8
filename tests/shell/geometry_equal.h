// Equality of the view's geometry types, for the tests' expectations.
// Global, beside the types, so that argument-dependent lookup finds them.
#pragma once

#include "viewer/engine/compose.h"
#include "viewer/shell/scroll_model.h"

inline bool operator==(Offset a, Offset b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(Extent a, Extent b) { return a.width == b.width && a.height == b.height; }
inline bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const Box& a, const Box& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
