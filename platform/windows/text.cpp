#include "platform/windows/text.h"

#include <windows.h>

#include <io.h>

#include <vector>

namespace platform {

namespace {

std::wstring ToUtf16(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

std::wstring Utf16(std::string_view utf8) { return ToUtf16(CP_UTF8, utf8); }

std::string Utf8(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(), length, nullptr,
                      nullptr);
  return text;
}

std::wstring FromAnsi(std::string_view ansi) { return ToUtf16(CP_ACP, ansi); }

std::optional<std::string> ToAnsiExactly(std::wstring_view utf16) {
  if (utf16.empty()) return std::string();
  BOOL replaced = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, utf16.data(), static_cast<int>(utf16.size()),
                                         nullptr, 0, nullptr, &replaced);
  if (length <= 0 || replaced) return std::nullopt;
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, utf16.data(), static_cast<int>(utf16.size()), ansi.data(), length,
                      nullptr, &replaced);
  // Converted back, the text must be the same: some code pages map several
  // characters to one byte sequence without calling it a replacement.
  if (replaced || FromAnsi(ansi) != utf16) return std::nullopt;
  return ansi;
}

std::string ToAnsiLossy(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, utf16.data(), static_cast<int>(utf16.size()),
                                         nullptr, 0, "?", nullptr);
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, utf16.data(), static_cast<int>(utf16.size()), ansi.data(), length,
                      "?", nullptr);
  return ansi;
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

}  // namespace

std::optional<std::string> AnsiPathOf(const std::wstring& path) {
  if (std::optional<std::string> exact = ToAnsiExactly(path)) return exact;
  if (std::optional<std::wstring> whole = ShortPathOf(path)) return ToAnsiExactly(*whole);
  const size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return std::nullopt;
  const std::optional<std::wstring> folder = ShortPathOf(path.substr(0, separator));
  if (!folder) return std::nullopt;
  return ToAnsiExactly(*folder + path.substr(separator));
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
