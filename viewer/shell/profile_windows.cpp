#include "viewer/shell/profile_windows.h"

#include <windows.h>

#include <vector>

#include "platform/windows/known_folders.h"
#include "platform/windows/text.h"
#include "viewer/shell/settings_path.h"

namespace {

using platform::Utf16;

// A value of up to this many characters is read whole; the list takes
// paths of 259, and anything longer is only read whole so that it can be
// recognised as too long.
constexpr DWORD kFirstValueRoom = 264;
constexpr DWORD kMaxValueRoom = 32768;

std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> SplitAtZeros(std::wstring_view lines) {
  std::vector<std::string> split;
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find(L'\0', start);
    if (end == std::wstring_view::npos) end = lines.size();
    if (end > start) split.push_back(platform::Utf8(lines.substr(start, end - start)));
    start = end + 1;
  }
  return split;
}

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

std::vector<std::pair<std::string, std::string>> WindowsSettingsReader::ReadSection(const std::string& file,
                                                                                    const std::string& section) {
  std::vector<std::pair<std::string, std::string>> entries;
  if (file.empty()) return entries;
  std::vector<wchar_t> lines(kFirstValueRoom);
  DWORD length = 0;
  for (;;) {
    length = GetPrivateProfileSectionW(Utf16(section).c_str(), lines.data(), static_cast<DWORD>(lines.size()),
                                       Utf16(file).c_str());
    // A section that filled the buffer is answered with its size less two.
    if (length + 2 < lines.size() || lines.size() >= kMaxValueRoom) break;
    lines.resize(lines.size() * 2);
  }
  // Lines each end in a zero; a line without '=' is no key.
  for (const std::string& line : SplitAtZeros(std::wstring_view(lines.data(), length))) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    entries.emplace_back(TrimSpaces(std::string_view(line).substr(0, equals)),
                         TrimSpaces(std::string_view(line).substr(equals + 1)));
  }
  return entries;
}

bool WindowsSectionWriter::Holds(const std::string& text) {
  return platform::ToAnsiExactly(Utf16(text)).has_value();
}

bool WindowsSectionWriter::WriteSection(const std::string& file, const std::string& section, std::string_view lines) {
  if (file.empty()) return false;
  // The lines hold their zeros; every path among them is one the ANSI code
  // page holds (Holds) or ASCII, so the file gets them exactly.
  return WritePrivateProfileSectionW(Utf16(section).c_str(), Utf16(lines).c_str(), Utf16(file).c_str()) != FALSE;
}

std::string ModuleSettingsFilePath() {
  const std::wstring program = platform::ProgramPath();
  return program.empty() ? std::string() : SettingsFilePath(platform::Utf8(program));
}

namespace {

// Opened for writing, then closed; a file this made is removed again.
bool CanWrite(const std::string& file) {
  HANDLE handle = CreateFileW(Utf16(file).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
  CloseHandle(handle);
  if (made) DeleteFileW(Utf16(file).c_str());
  return true;
}

bool Exists(const std::string& file) {
  const DWORD attributes = GetFileAttributesW(Utf16(file).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

SettingsFiles ModuleSettingsFiles() {
  const std::string beside = ModuleSettingsFilePath();
  if (beside.empty()) return {};
  const std::string usersOwn =
      UserSettingsFilePath(platform::Utf8(platform::ProgramPath()), platform::Utf8(platform::LocalAppDataFolder()));
  return ChooseSettingsFiles(beside, usersOwn, CanWrite(beside), !usersOwn.empty() && Exists(usersOwn));
}

void MakeFolderFor(const std::string& settingsFile) {
  const size_t separator = settingsFile.find_last_of('\\');
  if (separator != std::string::npos) CreateDirectoryW(Utf16(settingsFile.substr(0, separator)).c_str(), nullptr);
}
