#include "xxgrp/file_replace.h"

#include <windows.h>

#include <algorithm>

#include "xxgrp/image_writer_abi.h"

namespace {

// The full path of the target and its folder. GetFullPathNameA finds the
// file name itself, so a double-byte character ending in a backslash byte
// never splits the path. False for a path without a file name or one too
// long for a temporary file beside it.
bool SplitPath(const char* path, char (&full)[MAX_PATH], char (&folder)[MAX_PATH]) {
  char* name = nullptr;
  const DWORD length = GetFullPathNameA(path, MAX_PATH, full, &name);
  if (length == 0 || length >= MAX_PATH || !name || !*name) return false;
  const size_t folderLength = static_cast<size_t>(name - full);
  std::copy(full, name, folder);
  folder[folderLength] = '\0';
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
bool WriteTemporary(const char* temporary, const uint8_t* data, size_t size) {
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, data, size) && FlushFileBuffers(file);
  return CloseHandle(file) && written;
}

// Windows refuses to move a file over a read-only one; asking first keeps
// that rule on every system (Wine replaces such a file).
bool IsReadOnly(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

int32_t ReplaceWithNewFile(const char* path, const uint8_t* data, size_t size) {
  char full[MAX_PATH];
  char folder[MAX_PATH];
  char temporary[MAX_PATH];
  if (!SplitPath(path, full, folder) || IsReadOnly(full)) return kWriterWriteError;
  // Creates the temporary file under a name no other file has.
  if (!GetTempFileNameA(folder, "xxg", 0, temporary)) return kWriterWriteError;
  if (WriteTemporary(temporary, data, size) &&
      MoveFileExA(temporary, full, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return kWriterOk;
  DeleteFileA(temporary);
  return kWriterWriteError;
}
