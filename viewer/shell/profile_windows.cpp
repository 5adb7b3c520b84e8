#include "viewer/shell/profile_windows.h"

#include <windows.h>

#include <vector>

#include "platform/windows/text.h"
#include "viewer/shell/settings_path.h"

namespace {

using platform::Utf16;

// A value of up to this many characters is read whole; the list takes
// paths of 259, and anything longer is only read whole so that it can be
// recognised as too long.
constexpr DWORD kFirstValueRoom = 264;
constexpr DWORD kMaxValueRoom = 32768;

}  // namespace

int WindowsSettingsReader::ReadInt(const std::string& file, const std::string& section, const std::string& key,
                                   int fallback) {
  if (file.empty()) return fallback;
  return static_cast<int>(
      GetPrivateProfileIntW(Utf16(section).c_str(), Utf16(key).c_str(), fallback, Utf16(file).c_str()));
}

std::string WindowsSettingsReader::ReadString(const std::string& file, const std::string& section,
                                              const std::string& key) {
  if (file.empty()) return {};
  std::vector<wchar_t> value(kFirstValueRoom);
  for (;;) {
    const DWORD length = GetPrivateProfileStringW(Utf16(section).c_str(), Utf16(key).c_str(), L"", value.data(),
                                                  static_cast<DWORD>(value.size()), Utf16(file).c_str());
    // A value that filled the buffer may have been cut: read it again with
    // more room.
    if (length + 1 < value.size() || value.size() >= kMaxValueRoom)
      return platform::Utf8(std::wstring_view(value.data(), length));
    value.resize(value.size() * 2);
  }
}

std::optional<std::string> WindowsSectionWriter::StoredPath(const std::string& path) {
  const std::optional<std::string> ansi = platform::AnsiPathOf(Utf16(path));
  if (!ansi) return std::nullopt;
  return platform::Utf8(platform::FromAnsi(*ansi));
}

bool WindowsSectionWriter::WriteSection(const std::string& file, const std::string& section, std::string_view lines) {
  if (file.empty()) return false;
  // The lines hold their zeros; every path among them is one the ANSI code
  // page holds (StoredPath), so the file gets them exactly.
  return WritePrivateProfileSectionW(Utf16(section).c_str(), Utf16(lines).c_str(), Utf16(file).c_str()) != FALSE;
}

std::string ModuleSettingsFilePath() {
  const std::wstring program = platform::ProgramPath();
  return program.empty() ? std::string() : SettingsFilePath(platform::Utf8(program));
}
