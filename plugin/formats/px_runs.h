// Run lists of the PX layouts: horizontal pixel runs placed one after
// another by a cursor that each run moves relative to where the previous
// one ended, on a picture that is transparent wherever no run lands.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/bytes.h"
#include "base/sizes.h"

// The bits block being drawn: bottom-up rows of `pixelBytes` per pixel.
struct PxPicture {
  uint8_t* bits;
  size_t stride;
  size_t pixelBytes;
  int64_t width;
  int64_t height;

  // A picture of no pixels, on which runs are walked without being drawn.
  static PxPicture None(size_t pixelBytes) { return PxPicture{nullptr, 0, pixelBytes, 0, 0}; }

  // Pixel (x, y) counted from the top-left corner; it must lie inside.
  uint8_t* At(int64_t x, int64_t y) const {
    return bits + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * pixelBytes;
  }
};

// A width × height rectangle of the picture with its top-left corner at
// (x, y), and the cursor that places runs on it: a pixel number counting
// the rectangle's pixels row by row, so a run that reaches past the end of
// a row goes on at the start of the next. Runs are clipped to the rectangle
// and the rectangle to the picture; nothing outside either is written.
class RunCanvas {
 public:
  RunCanvas(const PxPicture& picture, int64_t x, int64_t y, uint32_t width, uint32_t height);

  size_t pixelBytes() const { return picture_.pixelBytes; }
  // Zeroes the part of the rectangle that lies on the picture.
  void Clear() const;
  // Moves the cursor dy rows and dx pixels.
  void Move(int64_t dy, int64_t dx) { cursor_ = Saturate(cursor_ + dy * width_ + dx); }
  // Places a run of `count` pixels at the cursor and moves the cursor past
  // it. For each visible stretch of the run, put(out, first, n) writes the
  // run's pixels first .. first + n - 1 to `out`.
  template <class Put>
  void Run(uint32_t count, Put&& put);

 private:
  // Far enough out that no visible pixel is reached, near enough that a
  // move from there cannot overflow: a damaged list may push the cursor
  // anywhere.
  static constexpr int64_t kFar = int64_t{1} << 62;
  static int64_t Saturate(int64_t v) { return std::clamp(v, -kFar, kFar); }

  PxPicture picture_;
  int64_t x_;
  int64_t y_;
  int64_t width_;
  int64_t cursor_ = 0;
  // The rectangle's visible part: rows [rowBegin_, rowEnd_) and columns
  // [columnBegin_, columnEnd_); the cursor reaches those rows at positions
  // [visibleBegin_, visibleEnd_).
  int64_t rowBegin_ = 0;
  int64_t rowEnd_ = 0;
  int64_t columnBegin_ = 0;
  int64_t columnEnd_ = 0;
  int64_t visibleBegin_ = 0;
  int64_t visibleEnd_ = 0;
};

template <class Put>
void RunCanvas::Run(uint32_t count, Put&& put) {
  const int64_t start = cursor_;
  cursor_ = Saturate(start + count);
  const int64_t end = std::min(start + count, visibleEnd_);
  for (int64_t k = std::max(start, visibleBegin_); k < end;) {
    const int64_t row = k / width_, column = k % width_;
    const int64_t stop = std::min(column + (end - k), width_);
    const int64_t from = std::max(column, columnBegin_), to = std::min(stop, columnEnd_);
    if (from < to)
      put(picture_.At(x_ + from, y_ + row), static_cast<size_t>(k - start + from - column),
          static_cast<size_t>(to - from));
    k += stop - column;
  }
}

// Run-list entries start with a 32-bit tag; these two are marks, every
// other tag opens a run: dy and dx (signed 16-bit), the pixel count
// (32-bit) and the pixels.
constexpr uint32_t kRunListEnd = 0xFFFFFFFF;   // -1
constexpr uint32_t kRunListSkip = 0xFFFFFFFE;  // -2, an entry of its four bytes alone

// A run list's stored alpha byte: 0 stands for opaque, the rest is doubled.
inline uint8_t RunListAlpha(uint8_t stored) { return stored == 0 ? 255 : static_cast<uint8_t>(stored * 2); }

// Draws the run list at the reader onto `canvas`, up to and past its end
// mark. With `alphaRule` the fourth byte of every pixel goes through
// RunListAlpha. False when the list reaches past the data.
bool DrawRunList(ByteReader& reader, RunCanvas& canvas, bool alphaRule);

// True when the run list at the reader ends inside the data: the list is
// walked over a picture of no pixels.
bool RunListEnds(ByteReader reader, size_t pixelBytes);
