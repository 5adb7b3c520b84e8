// The frame's client window: a scrolling window that shows the picture,
// lets the foreground be dragged by an opaque pixel, opens a dropped file,
// runs the output commands and prints one page. It owns the document and
// the surface the composite is made in; the plug-ins and the image writer,
// found at start-up, are lent to it.
//
// This file and trellin_view.cpp are the message glue; the geometry of
// scrolling and filling is ScrollModel's, that of zooming ZoomModel's; the
// scroll bars and wheels are driven in view_scroll.cpp, the zoom and the
// zoomed paint in view_zoom.cpp, the output commands live in
// view_output.cpp and printing in view_print.cpp.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "viewer/engine/compose.h"
#include "viewer/engine/image_document.h"
#include "viewer/engine/output_rules.h"
#include "viewer/engine/picture_writer.h"
#include "viewer/engine/windows/plugin_host.h"
#include "viewer/shell/command_table.h"
#include "viewer/shell/composite_surface.h"
#include "viewer/engine/zoom_scale.h"
#include "viewer/shell/scroll_model.h"
#include "viewer/shell/window.h"
#include "viewer/shell/zoom_model.h"

class CTrellinView : public Window {
 public:
  // Decodes through the plug-ins and writes files through the writer, both
  // found and bound at start-up.
  CTrellinView(PluginList& plugins, PictureWriter& writer) : plugins_(plugins), writer_(writer) {}

  HWND Create(HWND parent);

  // The document's opening operations, with what the view does after a
  // picture arrives: a new foreground is centred, a new background gets a
  // composite surface. Each returns the document's result.
  SpiResult OpenImage(const char* path, int mode);
  SpiResult ForceForeground(const char* path);
  void ClearImages();

  // The file a picture came from and whether it was forced in (a
  // foreground without alpha, keyed); nothing for a pasted picture or
  // none.
  struct Source {
    std::string path;  // UTF-8
    bool forced = false;
  };
  const std::optional<Source>& foregroundSource() const { return foregroundSource_; }
  const std::optional<Source>& backgroundSource() const { return backgroundSource_; }
  // Opens another file the way the current foreground (or background) was
  // opened. A foreground of the same size as the one it replaces keeps its
  // place; any other is centred.
  SpiResult OpenLikeCurrent(const std::string& path, bool foreground);
  // Sets the parent window's caption to the document's.
  void RefreshCaption();

  // The printed page: page 0 only, painted at the device context's origin
  // with the fill strips of the view's client rectangle. False, with nothing
  // drawn, for any other page.
  bool PrintPage(HDC dc, int page);

  // The zoom a start begins with (from the settings file); kept until a
  // zoom command changes it.
  void ChooseZoom(const ZoomChoice& choice);
  const ZoomModel& zoom() const { return zoom_; }
  // The zoom as the status bar shows it.
  std::wstring ZoomText() const;

  ImageDocument& document() { return document_; }
  PluginList& plugins() { return plugins_; }
  const ScrollModel& scroll() const { return scroll_; }
  Point foregroundOffset() const { return offset_; }
  bool dragging() const { return dragging_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The line step once a picture is shown.
  static constexpr Extent kPictureLine = {10, 10};
  // Where the picture is not: COLOR_APPWORKSPACE.
  static HBRUSH FillBrush();
  bool HasPicture() { return document_.HasForeground() || document_.HasBackground(); }

  // Runs the command when it is one of the view's rows of the command table;
  // false for every other command.
  bool OnCommand(UINT id);
  void AfterReplacing(Replaced replaced);
  void CentreForeground();
  void CreateCompositeSurface();

  // Painting, into the screen or a printer: the picture's top-left corner
  // at the device context's origin.
  void Paint(HDC dc, bool screen);
  void FillAround(HDC dc, Extent picture, bool screen);
  void DrawRows(HDC dc, const BitmapInfoHeader& header, const uint8_t* pixels);

  // Scrolling, as the model reckons it. The extent is given in picture
  // pixels and kept in window pixels, at the zoom.
  void SetScrollExtent(Extent picture);
  void UpdateScrollBars();
  void ScrollTo(Offset position);
  void ScrollContents(Offset moved);
  void OnScroll(int bar, WORD request);
  void OnWheel(int delta, bool horizontal);
  Extent ClientSize() const;

  // Zooming (view_zoom.cpp): the commands, Ctrl and the wheel, the new
  // zoom's extent and position, and the paint at any zoom but 100 %.
  void OnZoomCommand(UINT id);
  void OnZoomWheel(int delta, POINT screen);
  void ApplyZoom(const ZoomModel& next, Point anchor);
  void RefitToWindow();
  bool Zoomed100() const { return zoom_.scale() == Scale{1, 1}; }
  void PaintZoomed(HDC dc, const RECT& dirty);
  bool PaintSource(ScaleSource* source);
  void DrawScaled(HDC dc, const ScaleSource& source, const RECT& visible);

  void OnButtonDown(LPARAM lParam);
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnDropFiles(HDROP drop);

  // The view's handlers, each given its command's identifier: the output
  // commands (view_output.cpp), printing (view_print.cpp) and centring.
  void SaveComposite(UINT id);
  void SetWallpaper(UINT id);
  void CopyComposite(UINT id);
  void PasteImage(UINT id);
  void Print(UINT id);
  void OnCentreForeground(UINT id);
  friend const std::vector<Command>& CommandTable();

  void RenderClipboard(bool everything);
  const uint8_t* CompositePixels() const { return surface_.pixels(); }

  PluginList& plugins_;
  PictureWriter& writer_;
  ImageDocument document_{plugins_};
  CompositeSurface surface_;
  ScrollModel scroll_;
  bool dragging_ = false;
  Point offset_;
  std::optional<Source> foregroundSource_;
  std::optional<Source> backgroundSource_;
  POINT lastMouse_ = {0, 0};
  ForegroundDrag drag_;
  ZoomModel zoom_;
  // The picture's own size, which the scroll extent shows at the zoom;
  // 1 by 1 without a picture.
  Extent picture_{1, 1};
  // Wheel turns with Ctrl held, until they make a notch.
  int zoomWheel_ = 0;
  // While a new zoom is carried out: the scroll bars it shows or hides
  // resize the window, which must not start another.
  bool applyingZoom_ = false;
  ZoomScaler scaler_;
  std::vector<uint32_t> strip_;
};
