#include "xxgrp/file_replace.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "xxgrp/image_writer_abi.h"

namespace {

// The full path of the target and its folder, backslash included. False
// for a path without a file name.
bool SplitPath(const std::wstring& path, std::wstring* full, std::wstring* folder) {
  const DWORD room = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (room == 0) return false;
  std::vector<wchar_t> buffer(room);
  wchar_t* name = nullptr;
  const DWORD length = GetFullPathNameW(path.c_str(), room, buffer.data(), &name);
  if (length == 0 || length >= room || !name || !*name) return false;
  full->assign(buffer.data(), length);
  folder->assign(buffer.data(), static_cast<size_t>(name - buffer.data()));
  return true;
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written != chunk) return false;
    data += chunk;
    size -= chunk;
  }
  return true;
}

// Flushing before the move makes a full disk show up here, while the
// target is still untouched.
bool WriteTemporary(const wchar_t* temporary, const uint8_t* data, size_t size) {
  HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, data, size) && FlushFileBuffers(file);
  return CloseHandle(file) && written;
}

// Windows refuses to move a file over a read-only one; asking first keeps
// that rule on every system (Wine replaces such a file).
bool IsReadOnly(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

int32_t ReplaceWithNewFile(const std::wstring& path, const uint8_t* data, size_t size) {
  std::wstring full, folder;
  if (!SplitPath(path, &full, &folder) || IsReadOnly(full)) return kWriterWriteError;
  // Creates the temporary file under a name no other file has. Its name
  // takes 14 characters of MAX_PATH; a folder longer than the rest is
  // refused here, as Windows refuses it, rather than left to the call.
  wchar_t temporary[MAX_PATH];
  if (folder.size() > MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"xxg", 0, temporary))
    return kWriterWriteError;
  if (WriteTemporary(temporary, data, size) &&
      MoveFileExW(temporary, full.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return kWriterOk;
  DeleteFileW(temporary);
  return kWriterWriteError;
}
