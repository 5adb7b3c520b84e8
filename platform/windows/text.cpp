#include "platform/windows/text.h"

#include <windows.h>

#include <io.h>

#include <vector>

#include "base/plugin_names.h"
#include "base/utf.h"

namespace platform {

namespace {

// UTF-16 in the ANSI code page. Where that is UTF-8 (it may be, from
// Windows 10 1903 on) the call takes neither the no-best-fit flag nor a
// default character; elsewhere a character the code page lacks becomes
// `fallback` ('?' when null) and sets *replaced.
std::string AnsiFromUtf16(std::wstring_view utf16, const char* fallback = nullptr, BOOL* replaced = nullptr) {
  if (utf16.empty()) return {};
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  if (utf8) fallback = nullptr, replaced = nullptr;
  const int units = static_cast<int>(utf16.size());
  const int length = WideCharToMultiByte(CP_ACP, flags, utf16.data(), units, nullptr, 0, fallback, replaced);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, utf16.data(), units, text.data(), length, fallback, replaced);
  return text;
}

}  // namespace

// Not the system's own UTF-8 conversion: it would turn a lone surrogate,
// which a file name may hold, into U+FFFD and so into another name.
std::wstring Utf16(std::string_view utf8) {
  const std::u16string units = Utf16FromUtf8(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Utf8(std::wstring_view utf16) {
  return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

std::wstring FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

std::optional<std::string> ToAnsiExactly(std::wstring_view utf16) {
  BOOL replaced = FALSE;
  std::string ansi = AnsiFromUtf16(utf16, nullptr, &replaced);
  // Converted back, the text must be the same: some code pages map several
  // characters to one byte sequence without calling it a replacement.
  if (replaced || FromAnsi(ansi) != utf16) return std::nullopt;
  return ansi;
}

std::string ToAnsiLossy(std::wstring_view utf16) { return AnsiFromUtf16(utf16, "?"); }

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    // A full buffer means the path was cut: again with more room, up to
    // the longest path Windows has.
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

namespace {

// The short form of an existing file's or folder's path; nothing where
// the system has none.
std::optional<std::wstring> ShortPathOf(const std::wstring& path) {
  const DWORD room = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (room == 0) return std::nullopt;
  std::vector<wchar_t> shortPath(room);
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), room);
  if (length == 0 || length >= room) return std::nullopt;
  return std::wstring(shortPath.data(), length);
}

// The exact ANSI form when a char[MAX_PATH] holds it with its zero.
std::optional<std::string> HoldableAnsi(std::wstring_view path) {
  std::optional<std::string> ansi = ToAnsiExactly(path);
  if (!ansi || !FitsPlugin(*ansi)) return std::nullopt;
  return ansi;
}

size_t NameStart(std::wstring_view path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring_view::npos ? 0 : separator + 1;
}

// The text after the last dot of the file name; empty without one.
std::wstring_view ExtensionOf(std::wstring_view path) {
  const std::wstring_view name = path.substr(NameStart(path));
  const size_t dot = name.find_last_of(L'.');
  return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1);
}

// Compared as the file system compares names: ordinally, ignoring case.
bool SameExtension(std::wstring_view a, std::wstring_view b) {
  const std::wstring_view x = ExtensionOf(a), y = ExtensionOf(b);
  return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()), TRUE) ==
         CSTR_EQUAL;
}

// The short form of the folder, its separator kept, then the file's own
// name.
std::optional<std::string> InShortFolder(const std::wstring& path) {
  const size_t nameStart = NameStart(path);
  if (nameStart == 0) return std::nullopt;
  std::optional<std::wstring> folder = ShortPathOf(path.substr(0, nameStart));
  if (!folder) return std::nullopt;
  if (folder->empty() || (folder->back() != L'\\' && folder->back() != L'/')) folder->push_back(L'\\');
  return HoldableAnsi(*folder + path.substr(nameStart));
}

}  // namespace

std::optional<std::string> AnsiPathOf(const std::wstring& path) {
  if (std::optional<std::string> exact = HoldableAnsi(path)) return exact;
  if (std::optional<std::string> inShortFolder = InShortFolder(path)) return inShortFolder;
  const std::optional<std::wstring> whole = ShortPathOf(path);
  if (!whole || !SameExtension(*whole, path)) return std::nullopt;
  return HoldableAnsi(*whole);
}

std::string AnsiNameForMemory(const std::wstring& path) {
  return MemoryModeName(ToAnsiLossy(std::wstring_view(path).substr(NameStart(path))));
}

void WriteText(std::FILE* stream, std::string_view utf8) {
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    std::fflush(stream);
    const std::wstring wide = Utf16(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

}  // namespace platform
