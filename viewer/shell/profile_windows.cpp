#include "viewer/shell/profile_windows.h"

#include <windows.h>

#include <vector>

#include "viewer/shell/settings_path.h"

namespace {

// A value of up to this many characters is read whole; the list takes
// paths of 259, and anything longer is only read whole so that it can be
// recognised as too long.
constexpr DWORD kFirstValueRoom = 264;
constexpr DWORD kMaxValueRoom = 32768;

}  // namespace

int WindowsSettingsReader::ReadInt(const std::string& file, const std::string& section, const std::string& key,
                                   int fallback) {
  if (file.empty()) return fallback;
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, file.c_str()));
}

std::string WindowsSettingsReader::ReadString(const std::string& file, const std::string& section,
                                              const std::string& key) {
  if (file.empty()) return {};
  std::vector<char> value(kFirstValueRoom);
  for (;;) {
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                                  static_cast<DWORD>(value.size()), file.c_str());
    // A value that filled the buffer may have been cut: read it again with
    // more room.
    if (length + 1 < value.size() || value.size() >= kMaxValueRoom) return std::string(value.data(), length);
    value.resize(value.size() * 2);
  }
}

bool WindowsSectionWriter::WriteSection(const std::string& file, const std::string& section, std::string_view lines) {
  if (file.empty()) return false;
  return WritePrivateProfileSectionA(section.c_str(), lines.data(), file.c_str()) != FALSE;
}

std::string ModuleSettingsFilePath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A full buffer means the path was cut.
  if (length == 0 || length >= MAX_PATH) return {};
  return SettingsFilePath(std::string_view(path, length));
}
