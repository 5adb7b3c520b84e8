#include "viewer/engine/windows/image_libraries.h"

#include <windows.h>

#include "platform/windows/text.h"

void RestrictLibrarySearch() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  // Also takes the current folder out of the older search order, which a
  // LoadLibrary without search flags would otherwise still follow.
  SetDllDirectoryW(L"");
}

std::wstring ProgramFolder() {
  const std::wstring path = platform::ProgramPath();
  const size_t separator = path.find_last_of(L'\\');
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

bool ImageLibraries::Load(const std::wstring& programFolder, const wchar_t* pluginFolder) {
  plugins.Search(PluginList::kUnloadAfterProbe | PluginList::kAcceptImage, programFolder, pluginFolder);
  return !programFolder.empty() && writer.Bind(plugins, programFolder);
}
