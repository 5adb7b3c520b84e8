#include "viewer/engine/image_libraries.h"

#include <windows.h>

void RestrictLibrarySearch() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  // Also takes the current folder out of the older search order, which a
  // LoadLibrary without search flags would otherwise still follow.
  SetDllDirectoryW(L"");
}

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A full buffer means the path was cut.
  if (length == 0 || length >= MAX_PATH) return {};
  const std::string program(path, length);
  const size_t separator = program.find_last_of('\\');
  return separator == std::string::npos ? std::string() : program.substr(0, separator);
}

bool ImageLibraries::Load(const std::string& writerFolder, const char* pluginFolder) {
  plugins.Search(PluginList::kUnloadAfterProbe | PluginList::kAcceptImage, pluginFolder);
  return !writerFolder.empty() && writer.Bind(plugins, writerFolder);
}
