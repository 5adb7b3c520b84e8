// The view's zoom: which scale is in force (a step the user chose, or the
// one that fits the picture in the window), and the arithmetic between the
// picture's own pixels and the window's. Window coordinates are those of
// the zoomed picture: a client point plus the scroll position, which
// ScrollModel keeps in window pixels. Portable, so that it is tested
// natively; the view window only asks it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "viewer/engine/compose.h"
#include "viewer/engine/zoom_scale.h"
#include "viewer/shell/scroll_model.h"

// The denominator of every scale (Scale, in zoom_scale.h) is held to this:
// the window's arithmetic then stays inside 64 bits for any picture and
// window.
inline constexpr int32_t kMaxScaleDenominator = 1 << 16;

// The steps of zooming in and out, in per cent. 33 and 67 stand for a
// third and two thirds.
inline constexpr int kZoomPercents[] = {25, 33, 50, 67, 100, 150, 200, 300, 400, 600, 800};

// The scale of a step; nothing for a percentage that is no step.
std::optional<Scale> StepScale(int percent);

// The largest scale at which the whole picture shows in the client area,
// never above 1: min(client / picture) on both axes. Nothing for an empty
// client area (a minimised window), where no scale fits.
std::optional<Scale> FitScale(Extent picture, Extent client);

// The scale rounded to whole per cent, for the status bar.
int PercentOf(Scale scale);

// ceil(size × scale): the window pixels that show a picture of `size`,
// held to the int32 range and at least 1.
int32_t ZoomedLength(int32_t size, Scale scale);
Extent Zoomed(Extent picture, Scale scale);
// floor(window × den / num): the picture pixel shown at a window pixel.
int32_t PictureCoordinate(int32_t window, Scale scale);
Point PictureCoordinates(Point window, Scale scale);
// ceil(picture × num / den): the first window pixel whose left edge lies
// in the picture pixel.
int32_t WindowCoordinate(int32_t picture, Scale scale);
// The picture pixels a client area shows whole or in part.
Extent ClientInPicture(Extent client, Scale scale);

// The scroll position at which the picture point under the client point
// `anchor` stays under it when the scale changes from `from` to `to`;
// zooming in and out again comes back to the same position. Not yet held
// to the new extent: ScrollModel::MoveTo holds it.
Offset ZoomAbout(Offset position, Point anchor, Scale from, Scale to);

// What the user chose: a step, or fitting the picture in the window. The
// scale in force for fitting follows the picture and the window (Refit).
class ZoomModel {
 public:
  bool fit() const { return fit_; }
  // The step chosen, in per cent; 0 while fitting.
  int percent() const { return fit_ ? 0 : percent_; }
  Scale scale() const { return scale_; }

  // False, with nothing changed, for a percentage that is no step.
  bool SetPercent(int percent);
  // Fits from now on; the scale is the fitted one for these extents.
  void SetFit(Extent picture, Extent client);
  // While fitting, the scale for a picture and a client area; an empty
  // client area keeps the scale. False when the scale did not change.
  bool Refit(Extent picture, Extent client);
  // The next step above (in) or below (out) the scale in force, from a
  // step or from any fitted scale; false at the end of the steps, where
  // the zoom stays as it is.
  bool StepIn();
  bool StepOut();

 private:
  bool fit_ = false;
  int percent_ = 100;
  Scale scale_;
};

// The settings file's value of a zoom: "fit", or the step's percentage.
std::string ZoomSettingText(const ZoomModel& zoom);
// The zoom a settings value names; nothing for any other text, which
// leaves the zoom at 100 %.
struct ZoomChoice {
  bool fit = false;
  int percent = 100;
};
std::optional<ZoomChoice> ParseZoomSetting(const std::string& text);

// Dragging the foreground at a zoom: the mouse moves in window pixels, the
// foreground in picture pixels. A step moves it by the picture pixels the
// pointer has crossed since the last step, reckoned from where the press
// was, so slow moves add up exactly (at 200 %, ten moves of one window
// pixel make five picture pixels) and the foreground's pixel under the
// pointer stays under it. At 100 % a step moves it by the mouse's own
// distance.
class ForegroundDrag {
 public:
  // A press at client point `client` with the view scrolled to `scroll`.
  void Start(Point client, Offset scroll, Scale scale);
  // The move in picture pixels of a step to client point `client`.
  Point Step(Point client);

 private:
  int64_t PictureX(int32_t clientX) const;
  int64_t PictureY(int32_t clientY) const;

  Offset scroll_;
  Scale scale_;
  int64_t lastX_ = 0;
  int64_t lastY_ = 0;
};
