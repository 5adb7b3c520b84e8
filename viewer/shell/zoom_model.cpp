#include "viewer/shell/zoom_model.h"

#include <algorithm>
#include <numeric>

namespace {

struct Step {
  int percent;
  Scale scale;
};

constexpr Step kSteps[] = {{25, {1, 4}},  {33, {1, 3}},  {50, {1, 2}},  {67, {2, 3}},  {100, {1, 1}}, {150, {3, 2}},
                           {200, {2, 1}}, {300, {3, 1}}, {400, {4, 1}}, {600, {6, 1}}, {800, {8, 1}}};
static_assert(sizeof kSteps / sizeof kSteps[0] == sizeof kZoomPercents / sizeof kZoomPercents[0]);

// a < b, for fractions of positive 32-bit parts.
bool Less(Scale a, Scale b) { return int64_t{a.num} * b.den < int64_t{b.num} * a.den; }

// Division rounding toward minus infinity; `divisor` is positive.
int64_t FloorDiv(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return quotient * divisor > value ? quotient - 1 : quotient;
}

// floor(value × num / den) for |value| below 2^50 and num / den at most
// 8: the value is split at multiples of den first, so no product passes
// 2^62.
int64_t MulDivFloor(int64_t value, int64_t num, int64_t den) {
  const int64_t whole = FloorDiv(value, den), rest = value - whole * den;
  return whole * num + FloorDiv(rest * num, den);
}

Scale Reduced(int64_t num, int64_t den) {
  const int64_t common = std::gcd(num, den);
  return {static_cast<int32_t>(num / common), static_cast<int32_t>(den / common)};
}

}  // namespace

std::optional<Scale> StepScale(int percent) {
  for (const Step& step : kSteps) {
    if (step.percent == percent) return step.scale;
  }
  return std::nullopt;
}

std::optional<Scale> FitScale(Extent picture, Extent client) {
  if (client.width <= 0 || client.height <= 0) return std::nullopt;
  const int64_t pictureWidth = std::max(1, picture.width), pictureHeight = std::max(1, picture.height);
  // The axis with the smaller ratio limits the scale.
  const bool byWidth = client.width * pictureHeight <= client.height * pictureWidth;
  int64_t num = byWidth ? client.width : client.height;
  int64_t den = byWidth ? pictureWidth : pictureHeight;
  if (num >= den) return Scale{1, 1};
  Scale scale = Reduced(num, den);
  if (scale.den > kMaxScaleDenominator) {
    // Rounded down, so that the picture still fits.
    num = std::max<int64_t>(1, int64_t{scale.num} * kMaxScaleDenominator / scale.den);
    scale = Reduced(num, kMaxScaleDenominator);
  }
  return scale;
}

int PercentOf(Scale scale) {
  return static_cast<int>((int64_t{scale.num} * 200 + scale.den) / (int64_t{scale.den} * 2));
}

int32_t ZoomedLength(int32_t size, Scale scale) {
  const int64_t zoomed = (int64_t{std::max(1, size)} * scale.num + scale.den - 1) / scale.den;
  return std::max(1, HoldToInt32(zoomed));
}

Extent Zoomed(Extent picture, Scale scale) {
  return {ZoomedLength(picture.width, scale), ZoomedLength(picture.height, scale)};
}

int32_t PictureCoordinate(int32_t window, Scale scale) {
  return HoldToInt32(FloorDiv(int64_t{window} * scale.den, scale.num));
}

Point PictureCoordinates(Point window, Scale scale) {
  return {PictureCoordinate(window.x, scale), PictureCoordinate(window.y, scale)};
}

int32_t WindowCoordinate(int32_t picture, Scale scale) {
  return HoldToInt32(-FloorDiv(-int64_t{picture} * scale.num, scale.den));
}

Extent ClientInPicture(Extent client, Scale scale) {
  const auto length = [&](int32_t size) {
    return HoldToInt32((int64_t{std::max(0, size)} * scale.den + scale.num - 1) / scale.num);
  };
  return {length(client.width), length(client.height)};
}

// The picture point at the top-left corner of the anchor's window pixel,
// at the old scale, lies in the same window pixel at the new one: its
// window coordinate at the new scale, rounded down, less the anchor.
// Dividing by the old numerator last rounds the same as dividing once.
Offset ZoomAbout(Offset position, Point anchor, Scale from, Scale to) {
  const auto axis = [&](int32_t scrolled, int32_t at) {
    const int64_t picture = (int64_t{scrolled} + at) * from.den;  // × 1 / from.num
    const int64_t window = FloorDiv(MulDivFloor(picture, to.num, to.den), from.num);
    return HoldToInt32(window - at);
  };
  return {axis(position.x, anchor.x), axis(position.y, anchor.y)};
}

bool ZoomModel::SetPercent(int percent) {
  const std::optional<Scale> scale = StepScale(percent);
  if (!scale) return false;
  fit_ = false;
  percent_ = percent;
  scale_ = *scale;
  return true;
}

void ZoomModel::SetFit(Extent picture, Extent client) {
  fit_ = true;
  Refit(picture, client);
}

bool ZoomModel::Refit(Extent picture, Extent client) {
  if (!fit_) return false;
  const std::optional<Scale> fitted = FitScale(picture, client);
  if (!fitted || *fitted == scale_) return false;
  scale_ = *fitted;
  return true;
}

bool ZoomModel::StepIn() {
  for (const Step& step : kSteps) {
    if (Less(scale_, step.scale)) return SetPercent(step.percent);
  }
  return false;
}

bool ZoomModel::StepOut() {
  for (auto step = std::rbegin(kSteps); step != std::rend(kSteps); ++step) {
    if (Less(step->scale, scale_)) return SetPercent(step->percent);
  }
  return false;
}

std::string ZoomSettingText(const ZoomModel& zoom) { return zoom.fit() ? "fit" : std::to_string(zoom.percent()); }

std::optional<ZoomChoice> ParseZoomSetting(const std::string& text) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  if (lower == "fit") return ZoomChoice{true, 100};
  for (const Step& step : kSteps) {
    if (text == std::to_string(step.percent)) return ZoomChoice{false, step.percent};
  }
  return std::nullopt;
}

void ForegroundDrag::Start(Point client, Offset scroll, Scale scale) {
  scroll_ = scroll;
  scale_ = scale;
  lastX_ = PictureX(client.x);
  lastY_ = PictureY(client.y);
}

Point ForegroundDrag::Step(Point client) {
  const int64_t x = PictureX(client.x), y = PictureY(client.y);
  const Point moved{HoldToInt32(x - lastX_), HoldToInt32(y - lastY_)};
  lastX_ = x;
  lastY_ = y;
  return moved;
}

int64_t ForegroundDrag::PictureX(int32_t clientX) const {
  return FloorDiv((int64_t{clientX} + scroll_.x) * scale_.den, scale_.num);
}

int64_t ForegroundDrag::PictureY(int32_t clientY) const {
  return FloorDiv((int64_t{clientY} + scroll_.y) * scale_.den, scale_.num);
}
