// On Windows the tests load the real plug-in: MORNEL_PLUGIN names it, or
// the variable the build names for another plug-in.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/plugin_api.h"

#ifndef PLUGIN_PATH_VARIABLE
#define PLUGIN_PATH_VARIABLE "MORNEL_PLUGIN"
#define PLUGIN_DEFAULT_NAME "Mornel.sph"
#endif

namespace {

template <class Fn>
Fn Export(HMODULE module, const char* name) {
  FARPROC proc = GetProcAddress(module, name);
  if (!proc) {
    std::fprintf(stderr, "the plug-in does not export %s\n", name);
    std::exit(2);
  }
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

}  // namespace

const PluginApi& Plugin() {
  static const PluginApi api = [] {
    const char* path = std::getenv(PLUGIN_PATH_VARIABLE);
    HMODULE module = LoadLibraryA(path ? path : PLUGIN_DEFAULT_NAME);
    if (!module) {
      std::fprintf(stderr, "cannot load the plug-in %s\n", path ? path : PLUGIN_DEFAULT_NAME);
      std::exit(2);
    }
    return PluginApi{Export<GetPluginInfoFn>(module, "GetPluginInfo"), Export<IsSupportedFn>(module, "IsSupported"),
                     Export<GetPictureInfoFn>(module, "GetPictureInfo"), Export<GetPictureFn>(module, "GetPicture")};
  }();
  return api;
}

bool IsUnlocked(SpiHandle block) { return (LocalFlags(block) & LMEM_LOCKCOUNT) == 0; }

HostFile::HostFile(const std::string& path, long offset)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {
  SetFilePointer(const_cast<HANDLE>(handle_), offset, nullptr, FILE_BEGIN);
}

HostFile::~HostFile() { CloseHandle(const_cast<HANDLE>(handle_)); }
