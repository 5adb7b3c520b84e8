#include "xxgrp/file_replace.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "xxgrp/image_writer_abi.h"
#include "xxgrp/replace_steps.h"

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

// The path of the file itself, through any symbolic links on the way:
// the new bytes go to the file a link names, and the link stays a link.
// Without the "\\?\" prefix the path keeps the usual limits, which the
// temporary file's name is checked against. Where the system cannot say,
// the path as given.
std::wstring FinalPath(HANDLE file, const std::wstring& given) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD room = GetFinalPathNameByHandleW(file, nullptr, 0, kFlags);
  if (room == 0) return given;
  std::vector<wchar_t> buffer(room);
  const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), room, kFlags);
  if (length == 0 || length >= room) return given;
  const std::wstring path(buffer.data(), length);
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

struct Target {
  TargetFacts facts;
  std::wstring path;  // the file to replace: the final one behind any links
};

// Opening for its attributes alone conflicts with no other opener.
Target Examine(const std::wstring& full) {
  Target target{{}, full};
  target.facts.named = GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!target.facts.named) return target;
  HANDLE file = CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return target;
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileInformationByHandle(file, &information) && !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    target.facts.reachable = true;
    target.facts.readOnly = information.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
    target.facts.names = information.nNumberOfLinks;
    target.path = FinalPath(file, full);
  }
  CloseHandle(file);
  return target;
}

// A new empty file under a name no other file in the folder has, removed
// again unless kept. Its name takes 14 characters of MAX_PATH; a folder
// longer than the rest is refused here, as Windows refuses it, rather than
// left to the call.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::wstring& folder)
      : made_(folder.size() <= MAX_PATH - 14 && GetTempFileNameW(folder.c_str(), L"xxg", 0, name_)) {}
  ~TemporaryFile() {
    if (made_ && !kept_) DeleteFileW(name_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool made() const { return made_; }
  const wchar_t* name() const { return name_; }
  // The file now goes by another name, or holds bytes that must stay.
  void Keep() { kept_ = true; }

 private:
  wchar_t name_[MAX_PATH] = {};
  bool made_;
  bool kept_ = false;
};

// An open file for the rewrite in place.
class HandleFile : public FileAccess {
 public:
  HandleFile(const wchar_t* path, DWORD disposition)
      : handle_(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr)) {}
  ~HandleFile() override {
    if (IsOpen()) CloseHandle(handle_);
  }
  HandleFile(const HandleFile&) = delete;
  HandleFile& operator=(const HandleFile&) = delete;
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

  bool Size(uint64_t* size) override {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(handle_, &value)) return false;
    *size = static_cast<uint64_t>(value.QuadPart);
    return true;
  }
  bool Read(uint64_t offset, uint8_t* data, size_t size) override { return InChunks(offset, data, size, ReadFile); }
  bool Write(uint64_t offset, const uint8_t* data, size_t size) override {
    return InChunks(offset, data, size, WriteFile);
  }
  bool Resize(uint64_t size) override { return Seek(size) && SetEndOfFile(handle_); }
  bool Flush() override { return FlushFileBuffers(handle_); }

 private:
  static constexpr size_t kChunk = 1u << 30;
  // ReadFile or WriteFile over all the bytes, a gigabyte at a time.
  template <class Byte, class Call>
  bool InChunks(uint64_t offset, Byte* data, size_t size, Call call) {
    if (!Seek(offset)) return false;
    for (size_t chunk; size > 0; data += chunk, size -= chunk) {
      chunk = std::min<size_t>(size, kChunk);
      DWORD done = 0;
      if (!call(handle_, data, static_cast<DWORD>(chunk), &done, nullptr) || done != chunk) return false;
    }
    return true;
  }
  bool Seek(uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN);
  }
  HANDLE handle_;
};

// Flushing before the file takes its place makes a full disk show up here,
// while the target is still untouched.
bool WriteTemporary(const TemporaryFile& temporary, const uint8_t* data, size_t size) {
  HandleFile file(temporary.name(), TRUNCATE_EXISTING);
  return file.IsOpen() && file.Write(0, data, size) && file.Flush();
}

// The target's permissions and its attributes that say how the file is
// shown, on the new file before it takes the target's place. ReplaceFileW
// carries them over on Windows too; set here, they also hold where the
// call carries less (Wine keeps neither). The permissions go over as they
// are, inherited entries and protection included: the two files share a
// folder. Archive is set: the file is new.
void CarryOver(const std::wstring& target, const wchar_t* file) {
  DWORD size = 0;
  GetFileSecurityW(target.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<uint8_t> descriptor(size);
  if (size > 0 && GetFileSecurityW(target.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size))
    SetFileSecurityW(file, DACL_SECURITY_INFORMATION, descriptor.data());
  constexpr DWORD kShown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(file, (attributes & kShown) | FILE_ATTRIBUTE_ARCHIVE);
}

// A name in the folder that no file has (made, then given up).
std::optional<std::wstring> FreeName(const std::wstring& folder) {
  const TemporaryFile placeholder(folder);
  if (!placeholder.made()) return std::nullopt;
  return std::wstring(placeholder.name());
}

// The new file takes the target's place with its attributes, permissions,
// streams and short name (ReplaceFileW, no errors ignored: a file whose
// permissions cannot be carried over is not replaced, so a restricted file
// never becomes readable under the folder's defaults). The old file waits
// under a free name until the new one is in place, and comes back if the
// call fails after moving it.
int32_t ReplaceWhole(const std::wstring& target, const std::wstring& folder, TemporaryFile& replacement) {
  const std::optional<std::wstring> old = FreeName(folder);
  if (!old) return kWriterWriteError;
  CarryOver(target, replacement.name());
  if (ReplaceFileW(target.c_str(), replacement.name(), old->c_str(), 0, nullptr, nullptr)) {
    replacement.Keep();
    DeleteFileW(old->c_str());
    return kWriterOk;
  }
  // Where the old file cannot come back, it stays under the free name.
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) MoveFileExW(old->c_str(), target.c_str(), 0);
  return kWriterWriteError;
}

// A file with other names gets its new bytes where it is; the temporary
// file keeps the old ones meanwhile, and is kept where they could not be
// put back.
int32_t Rewrite(const std::wstring& target, TemporaryFile& keeper, const uint8_t* data, size_t size) {
  HandleFile file(target.c_str(), OPEN_EXISTING);
  HandleFile old(keeper.name(), TRUNCATE_EXISTING);
  if (!file.IsOpen() || !old.IsOpen()) return kWriterWriteError;
  const RewriteResult result = RewriteInPlace(file, old, ByteSpan{data, size});
  if (result == RewriteResult::OldBytesKept) keeper.Keep();
  return result == RewriteResult::Rewritten ? kWriterOk : kWriterWriteError;
}

}  // namespace

int32_t ReplaceWithNewFile(const std::wstring& path, const uint8_t* data, size_t size) {
  std::wstring full, folder;
  if (!SplitPath(path, &full, &folder)) return kWriterWriteError;
  const Target target = Examine(full);
  const ReplaceWay way = ChooseReplaceWay(target.facts);
  if (way == ReplaceWay::Refuse || !SplitPath(target.path, &full, &folder)) return kWriterWriteError;
  TemporaryFile temporary(folder);
  if (!temporary.made()) return kWriterWriteError;
  if (way == ReplaceWay::RewriteInPlace) return Rewrite(full, temporary, data, size);
  if (!WriteTemporary(temporary, data, size)) return kWriterWriteError;
  if (way == ReplaceWay::ReplaceWhole) return ReplaceWhole(full, folder, temporary);
  // A file that appeared meanwhile is not replaced unseen.
  if (!MoveFileExW(temporary.name(), full.c_str(), MOVEFILE_WRITE_THROUGH)) return kWriterWriteError;
  temporary.Keep();
  return kWriterOk;
}
