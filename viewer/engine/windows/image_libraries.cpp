#include "viewer/engine/windows/image_libraries.h"

#include <windows.h>

void RestrictLibrarySearch() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  // Also takes the current folder out of the older search order, which a
  // LoadLibrary without search flags would otherwise still follow.
  SetDllDirectoryW(L"");
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A full buffer means the path was cut: again with more room.
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const size_t separator = path.find_last_of(L'\\');
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

bool ImageLibraries::Load(const std::wstring& writerFolder, const wchar_t* pluginFolder) {
  plugins.Search(PluginList::kUnloadAfterProbe | PluginList::kAcceptImage, pluginFolder);
  return !writerFolder.empty() && writer.Bind(plugins, writerFolder);
}
