// The settings file as a Windows private-profile file beside the program.
// It stays a file in the ANSI code page, as it always was; the lists keep
// their paths in UTF-8 and the profile functions convert.
#pragma once

#include "viewer/shell/profile_section.h"
#include "viewer/shell/recent_image_list.h"

// Both refuse to work on an empty file name, which the profile functions
// would take for WIN.INI.
class WindowsSettingsReader final : public SettingsReader {
 public:
  int ReadInt(const std::string& file, const std::string& section, const std::string& key, int fallback) override;
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key) override;
};

class WindowsSectionWriter final : public SectionWriter {
 public:
  // The path when the ANSI code page holds it; otherwise its short (8.3)
  // form where the volume keeps one that the code page holds; otherwise
  // nothing: the entry is left out rather than stored garbled.
  std::optional<std::string> StoredPath(const std::string& path) override;
  bool WriteSection(const std::string& file, const std::string& section, std::string_view lines) override;
};

// The program's settings file; empty when the program's own path cannot be
// had whole (a settings path made from a cut path would name another file).
std::string ModuleSettingsFilePath();
