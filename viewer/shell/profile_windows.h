// The settings file as a Windows private-profile file beside the program.
// It stays a file in the ANSI code page, as it always was; the lists keep
// their paths in UTF-8 and the profile functions convert.
#pragma once

#include "viewer/shell/profile_section.h"
#include "viewer/shell/recent_image_list.h"
#include "viewer/shell/settings_path.h"

// Both refuse to work on an empty file name, which the profile functions
// would take for WIN.INI.
class WindowsSettingsReader final : public SettingsReader {
 public:
  int ReadInt(const std::string& file, const std::string& section, const std::string& key, int fallback) override;
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key) override;
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& file,
                                                               const std::string& section) override;
};

class WindowsSectionWriter final : public SectionWriter {
 public:
  // True when the ANSI code page holds every character of the text exactly.
  bool Holds(const std::string& text) override;
  bool WriteSection(const std::string& file, const std::string& section, std::string_view lines) override;
};

// The program's settings file beside it; empty when the program's own path
// cannot be had whole (a settings path made from a cut path would name
// another file).
std::string ModuleSettingsFilePath();

// The settings files of this run (ChooseSettingsFiles): whether the file
// beside the program can be written is asked by opening it for writing,
// which makes no file that was not there.
SettingsFiles ModuleSettingsFiles();

// Makes the folder a settings file is to be written into, where it is
// missing.
void MakeFolderFor(const std::string& settingsFile);
