#include "platform/windows/known_folders.h"

#include <windows.h>
// After windows.h, on which it builds.
#include <shlobj.h>

namespace platform {

std::wstring LocalAppDataFolder() {
  wchar_t* folder = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) path = folder;
  CoTaskMemFree(folder);
  return path;
}

}  // namespace platform
