// A library planted beside a copy of the window tests under the name of a
// system library that is no known DLL of Windows: version.dll
// (PLANTED_VERSION) or winspool.drv (PLANTED_PRINTING). Every call goes on
// to the system's own library, so that whatever loads it keeps working
// (under Wine, user32 imports version.dll, comdlg32 and the PostScript
// driver winspool.drv). Each call of the viewer's, made from the program's
// own module, also notes its name in a file beside the library,
// "<library>.called", so a test sees whether the viewer called into it.
#include <windows.h>
// After windows.h, on which they build.
#include <winspool.h>
#include <winver.h>

namespace {

wchar_t marks[MAX_PATH + 8];
HMODULE systemLibrary = nullptr;

FARPROC Real(const char* name) { return systemLibrary ? GetProcAddress(systemLibrary, name) : nullptr; }

void NoteFromTheProgram(void* returnAddress, const char* call) {
  HMODULE caller = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCWSTR>(returnAddress), &caller);
  if (caller != GetModuleHandleW(nullptr)) return;
  HANDLE file = CreateFileW(marks, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, call, lstrlenA(call), &written, nullptr);
  WriteFile(file, "\n", 1, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

// The viewer's calls: noted when the program makes them, then passed on.
#define NOTED(result, name, parameters, arguments)                                   \
  extern "C" __declspec(dllexport) result WINAPI name parameters {                  \
    NoteFromTheProgram(__builtin_return_address(0), #name);                         \
    const auto real = reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(Real(#name)));           \
    return real ? real arguments : result{};                                         \
  }

// The other calls of the library that Wine's own libraries make: a jump to
// the system's call, whatever its arguments.
#if defined(__x86_64__)
#define SYMBOL(name) #name
#define JUMP(name) "jmp *real_" #name "(%rip)"
#else
#define SYMBOL(name) "_" #name
#define JUMP(name) "jmp *_real_" #name
#endif
#define FORWARDED(name)                                                              \
  extern "C" {                                                                       \
  FARPROC real_##name = nullptr;                                                     \
  }                                                                                  \
  asm(".text\n.globl " SYMBOL(name) "\n" SYMBOL(name) ":\n\t" JUMP(name) "\n"        \
      ".section .drectve\n.ascii \" -export:" #name "\"\n.text\n");
#define RESOLVE(name) real_##name = Real(#name);

#ifdef PLANTED_VERSION
constexpr wchar_t kName[] = L"version.dll";
NOTED(DWORD, GetFileVersionInfoSizeW, (LPCWSTR a, LPDWORD b), (a, b))
NOTED(BOOL, GetFileVersionInfoW, (LPCWSTR a, DWORD b, DWORD c, LPVOID d), (a, b, c, d))
NOTED(BOOL, VerQueryValueW, (LPCVOID a, LPCWSTR b, LPVOID* c, PUINT d), (a, b, c, d))
#define OTHER_CALLS(X)
#endif

#ifdef PLANTED_PRINTING
constexpr wchar_t kName[] = L"winspool.drv";
NOTED(BOOL, OpenPrinterW, (LPWSTR a, LPHANDLE b, LPPRINTER_DEFAULTSW c), (a, b, c))
NOTED(BOOL, ClosePrinter, (HANDLE a), (a))
#define OTHER_CALLS(X)                                                                                             \
  X(AddPrintProcessorW) X(DeviceCapabilitiesA) X(DeviceCapabilitiesW) X(DocumentPropertiesA) X(DocumentPropertiesW) \
  X(EndDocPrinter) X(EnumPrinterDataExA) X(EnumPrintersA) X(EnumPrintersW) X(GetDefaultPrinterA)                    \
  X(GetDefaultPrinterW) X(GetPrinterA) X(GetPrinterDataExA) X(GetPrinterDriverA) X(GetPrinterDriverW)               \
  X(GetPrinterW) X(OpenPrinterA) X(ReadPrinter) X(SeekPrinter) X(SetPrinterW) X(StartDocDlgW) X(StartDocPrinterW)  \
  X(WritePrinter)
#endif

OTHER_CALLS(FORWARDED)

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  const DWORD length = GetModuleFileNameW(self, marks, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return FALSE;
  lstrcatW(marks, L".called");
  wchar_t path[MAX_PATH + 16];
  const UINT folder = GetSystemDirectoryW(path, MAX_PATH);
  if (folder == 0 || folder >= MAX_PATH) return FALSE;
  lstrcatW(path, L"\\");
  lstrcatW(path, kName);
  systemLibrary = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  OTHER_CALLS(RESOLVE)
  return systemLibrary != nullptr;
}
