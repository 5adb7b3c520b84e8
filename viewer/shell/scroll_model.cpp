#include "viewer/shell/scroll_model.h"

#include <algorithm>

#include "viewer/engine/compose.h"

namespace {

// A fraction of the extent, at least one pixel.
int32_t StepOf(int32_t extent, int32_t fraction) { return std::max<int32_t>(1, extent / fraction); }

int32_t Along(Axis axis, Extent e) { return axis == Axis::Horizontal ? e.width : e.height; }
int32_t Along(Axis axis, Offset o) { return axis == Axis::Horizontal ? o.x : o.y; }

void AddIfNotEmpty(std::vector<Box>& boxes, Box box) {
  if (box.left < box.right && box.top < box.bottom) boxes.push_back(box);
}

}  // namespace

int32_t WheelScrollStep(int32_t delta, uint32_t lines, int32_t lineStep, int32_t pageStep) {
  // One notch's distance, held to INT32_MAX: with |delta| below 2^16 the
  // product below then stays far inside 64 bits.
  const int64_t perNotch =
      lines == kWheelPageScroll ? pageStep : std::min<int64_t>(int64_t{lines} * lineStep, INT32_MAX);
  const int64_t step = -int64_t{delta} * perNotch / kWheelNotch;
  return static_cast<int32_t>(std::clamp<int64_t>(step, -INT32_MAX, INT32_MAX));
}

void ScrollModel::SetExtent(Extent extent) {
  extent_ = {std::max(1, extent.width), std::max(1, extent.height)};
  position_ = {0, 0};
  line_ = {StepOf(extent_.width, 100), StepOf(extent_.height, 100)};
  page_ = {StepOf(extent_.width, 10), StepOf(extent_.height, 10)};
}

void ScrollModel::SetLine(Extent line) {
  line_ = {std::min(line.width, extent_.width), std::min(line.height, extent_.height)};
}

Offset ScrollModel::MoveTo(Offset position, Extent client) {
  const auto hold = [](int32_t value, int32_t extent, int32_t client) {
    return std::clamp<int32_t>(value, 0, std::max<int32_t>(0, extent - client));
  };
  const Offset held{hold(position.x, extent_.width, client.width), hold(position.y, extent_.height, client.height)};
  const Offset moved{position_.x - held.x, position_.y - held.y};
  position_ = held;
  return moved;
}

int32_t ScrollModel::Requested(Axis axis, ScrollRequest request, int32_t thumb) const {
  const int64_t now = Along(axis, position_);
  switch (request) {
    case ScrollRequest::LineBack:
      return HoldToInt32(now - Along(axis, line_));
    case ScrollRequest::LineOn:
      return HoldToInt32(now + Along(axis, line_));
    case ScrollRequest::PageBack:
      return HoldToInt32(now - Along(axis, page_));
    case ScrollRequest::PageOn:
      return HoldToInt32(now + Along(axis, page_));
    case ScrollRequest::Start:
      return 0;
    case ScrollRequest::End:
      return Along(axis, extent_);
    case ScrollRequest::Thumb:
      return thumb;
  }
  return Along(axis, position_);
}

Offset ScrollModel::Wheel(int32_t delta, uint32_t lines, bool horizontal, Extent client) {
  if (!horizontal && extent_.height <= client.height) horizontal = true;
  const Axis axis = horizontal ? Axis::Horizontal : Axis::Vertical;
  const int32_t step = WheelScrollStep(delta, lines, Along(axis, line_), Along(axis, page_));
  Offset target = position_;
  (horizontal ? target.x : target.y) = HoldToInt32(int64_t{Along(axis, position_)} + step);
  return MoveTo(target, client);
}

std::vector<Box> ScreenFill(Extent picture, Offset position, Extent client) {
  const Box visible{position.x, position.y, HoldToInt32(int64_t{position.x} + client.width),
                    HoldToInt32(int64_t{position.y} + client.height)};
  std::vector<Box> boxes;
  AddIfNotEmpty(boxes, {std::max(picture.width, visible.left), visible.top, visible.right,
                        std::min(picture.height, visible.bottom)});
  AddIfNotEmpty(boxes, {visible.left, std::max(picture.height, visible.top), visible.right, visible.bottom});
  return boxes;
}

std::vector<Box> PrinterFill(Extent picture, Extent extent, Extent client) {
  std::vector<Box> boxes;
  if (client.width > extent.width) AddIfNotEmpty(boxes, {picture.width, 0, client.width, picture.height});
  if (client.height > extent.height) AddIfNotEmpty(boxes, {0, picture.height, client.width, client.height});
  return boxes;
}
