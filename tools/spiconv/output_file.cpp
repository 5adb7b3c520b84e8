#include "tools/spiconv/output_file.h"

#include <windows.h>

#include <io.h>

#include <cstdio>

#include "tools/spiconv/batch_plan.h"

bool MakeFolders(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(ExtendedPath(folder).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::wstring parent = FolderOf(folder);
  // A drive's root or a share has no parent to make.
  if (!parent.empty() && parent.size() < folder.size() && parent.back() != L':' && !MakeFolders(parent)) return false;
  return CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

namespace {

// Writes through the C runtime, which splits a large write for the system,
// and closes the file; flushing before the move makes a full disk show
// here, while the target is still untouched.
bool WriteAndClose(HANDLE file, const uint8_t* data, size_t size) {
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), 0);
  if (descriptor == -1) {
    CloseHandle(file);
    return false;
  }
  std::FILE* out = _fdopen(descriptor, "wb");
  if (!out) {
    _close(descriptor);
    return false;
  }
  const bool written = (size == 0 || std::fwrite(data, 1, size, out) == size) && std::fflush(out) == 0 &&
                       FlushFileBuffers(file);
  return std::fclose(out) == 0 && written;
}

// A new file beside the target under a name no file has yet.
HANDLE CreateTemporary(const std::wstring& path, std::wstring* temporary) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    *temporary = path + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
    HANDLE file = CreateFileW(ExtendedPath(*temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceWithFile(const std::wstring& path, const uint8_t* data, size_t size) {
  const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  std::wstring temporary;
  HANDLE file = CreateTemporary(path, &temporary);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (WriteAndClose(file, data, size) &&
      MoveFileExW(ExtendedPath(temporary).c_str(), ExtendedPath(path).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(ExtendedPath(temporary).c_str());
  return false;
}
