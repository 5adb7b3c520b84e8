#include "viewer/shell/scroll_model.h"

#include <algorithm>

int32_t WheelScrollStep(int32_t delta, uint32_t lines, int32_t lineStep, int32_t pageStep) {
  // One notch's distance, held to INT32_MAX: with |delta| below 2^16 the
  // product below then stays far inside 64 bits.
  const int64_t perNotch = lines == kWheelPageScroll
                               ? pageStep
                               : std::min<int64_t>(int64_t{lines} * lineStep, INT32_MAX);
  const int64_t step = -int64_t{delta} * perNotch / kWheelNotch;
  return static_cast<int32_t>(std::clamp<int64_t>(step, -INT32_MAX, INT32_MAX));
}
