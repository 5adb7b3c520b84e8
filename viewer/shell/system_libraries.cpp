#include "viewer/shell/system_libraries.h"

#include <string>

namespace {

// The library from the system folder by its full path: a library of that
// name already loaded from elsewhere is not taken for it, and its own
// dependencies come from the system folder too.
HMODULE LoadFromSystemFolder(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

template <class Call>
bool Find(HMODULE library, const char* name, Call* call) {
  *call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return *call != nullptr;
}

}  // namespace

// Each library stays loaded for the rest of the run.
const VersionCalls* VersionLibrary() {
  static const VersionCalls* const calls = []() -> const VersionCalls* {
    static VersionCalls found;
    HMODULE library = LoadFromSystemFolder(L"version.dll");
    const bool complete = library && Find(library, "GetFileVersionInfoSizeW", &found.GetFileVersionInfoSizeW) &&
                          Find(library, "GetFileVersionInfoW", &found.GetFileVersionInfoW) &&
                          Find(library, "VerQueryValueW", &found.VerQueryValueW);
    return complete ? &found : nullptr;
  }();
  return calls;
}

const PrintingCalls* PrintingLibrary() {
  static const PrintingCalls* const calls = []() -> const PrintingCalls* {
    static PrintingCalls found;
    HMODULE library = LoadFromSystemFolder(L"winspool.drv");
    const bool complete = library && Find(library, "OpenPrinterW", &found.OpenPrinterW) &&
                          Find(library, "ClosePrinter", &found.ClosePrinter);
    return complete ? &found : nullptr;
  }();
  return calls;
}
