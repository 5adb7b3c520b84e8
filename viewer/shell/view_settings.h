// The settings file's section "Settings": how the view was left, read at
// the next start. Today the zoom, under the key "Zoom" ("fit", or the
// step's percentage).
#pragma once

#include <optional>
#include <string>

#include "viewer/shell/profile_section.h"
#include "viewer/shell/recent_image_list.h"
#include "viewer/shell/zoom_model.h"

inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kZoomKey[] = "Zoom";

// The zoom the file keeps; nothing where it keeps none, or a value that
// names no step, and the view then starts at 100 %.
std::optional<ZoomChoice> ReadZoomSetting(SettingsReader& reader, const std::string& file);

// Writes the section whole.
bool WriteViewSettings(SectionWriter& writer, const std::string& file, const ZoomModel& zoom);
