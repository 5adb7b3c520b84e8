#include "viewer/shell/folder_listing_windows.h"

#include <windows.h>

#include "platform/windows/text.h"

// Every name is listed and matched against the plug-ins' patterns by the
// caller: a pattern given to the system would also match short (8.3)
// aliases, so "*.cz1" would take "x.cz1_old".
std::vector<std::string> FilesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(platform::Utf16(folder + "*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return names;
  constexpr DWORD kNotShown = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  do {
    if (!(found.dwFileAttributes & kNotShown)) names.push_back(platform::Utf8(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}
