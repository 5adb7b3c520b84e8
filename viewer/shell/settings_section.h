// The section "Settings" of the settings file: the viewer's own choices,
// one "key = value" line each (Language, with "ja" or "en"; Zoom, "fit" or
// the zoom's percentage). It is read at
// start and written with the recent lists at exit, through the same
// section reader and writer. Keys this release does not know are kept as
// they were, so that a later release's choices survive a run of this one.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "viewer/shell/profile_section.h"
#include "viewer/shell/recent_image_list.h"

inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kLanguageKey[] = "Language";
inline constexpr char kZoomKey[] = "Zoom";

class SettingsSection {
 public:
  // Replaces what the section holds with the file's lines.
  void Load(SettingsReader& reader, const std::string& file);
  // Writes every key as the section's whole content. A section with no key
  // is not written, so a file without choices stays as it was.
  void Save(SectionWriter& writer, const std::string& file) const;

  // The key's value; nothing when the section has no such key. Keys are
  // compared ignoring the case of ASCII letters, as the profile functions
  // compare them.
  std::optional<std::string> Get(const std::string& key) const;
  // Sets the key's value, in its place when the key is there, else at the
  // end.
  void Set(const std::string& key, std::string value);

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};
