// The view's scrolling arithmetic, in picture pixels: portable, so that it
// is tested natively.
#pragma once

#include <cstdint>

// SPI_GETWHEELSCROLLLINES's answer when the user set the wheel to scroll
// one screen at a time (WHEEL_PAGESCROLL).
inline constexpr uint32_t kWheelPageScroll = 0xFFFFFFFF;
// The wheel delta of one notch (WHEEL_DELTA); finer wheels send parts of it.
inline constexpr int32_t kWheelNotch = 120;

// How far a wheel message of `delta` moves the view: per notch, `lines`
// line steps, or one page step when `lines` is kWheelPageScroll. A turn
// away from the user (a positive delta) moves up or to the left, so the
// step is negative then. Any setting, however large, gives a step within
// ±INT32_MAX; the caller holds the position within the picture.
int32_t WheelScrollStep(int32_t delta, uint32_t lines, int32_t lineStep, int32_t pageStep);
