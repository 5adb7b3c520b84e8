#include "tools/spiconv/windows_files.h"

#include <windows.h>

PathKind WindowsFiles::KindOf(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

bool WindowsFiles::List(const std::wstring& folder, std::vector<FolderEntry>* entries) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(ExtendedPath(JoinPath(folder, L"*")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries->push_back(FolderEntry{name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                   (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileW(search, &found));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
  return complete;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD room = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (room == 0) return path;
  std::wstring full(room, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), room, full.data(), nullptr);
  if (length == 0 || length >= room) return path;
  full.resize(length);
  return full;
}
