#include "viewer/shell/settings_section.h"

#include <algorithm>

#include "viewer/engine/path_text.h"

void SettingsSection::Load(SettingsReader& reader, const std::string& file) {
  entries_ = reader.ReadSection(file, kSettingsSection);
}

void SettingsSection::Save(SectionWriter& writer, const std::string& file) const {
  if (entries_.empty()) return;
  ProfileSection lines(writer, file, kSettingsSection);
  for (const auto& [key, value] : entries_) lines.WriteString(key, value);
}

std::optional<std::string> SettingsSection::Get(const std::string& key) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const auto& entry) { return EqualIgnoringAsciiCase(entry.first, key); });
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

void SettingsSection::Set(const std::string& key, std::string value) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const auto& entry) { return EqualIgnoringAsciiCase(entry.first, key); });
  if (found != entries_.end()) {
    found->second = std::move(value);
    return;
  }
  entries_.emplace_back(key, std::move(value));
}
