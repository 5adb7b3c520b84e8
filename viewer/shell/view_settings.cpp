#include "viewer/shell/view_settings.h"

std::optional<ZoomChoice> ReadZoomSetting(SettingsReader& reader, const std::string& file) {
  return ParseZoomSetting(reader.ReadString(file, kSettingsSection, kZoomKey));
}

bool WriteViewSettings(SectionWriter& writer, const std::string& file, const ZoomModel& zoom) {
  ProfileSection section(writer, file, kSettingsSection);
  return section.WriteString(kZoomKey, ZoomSettingText(zoom)) && section.Flush();
}
