#include "tests/engine_windows/support.h"

#include <cstdio>
#include <cstring>

#include "platform/windows/text.h"

using platform::Utf16;
using platform::Utf8;

namespace {

std::string FromEnvironment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? Utf8(value) : "";
}

}  // namespace

// Process numbers repeat from one Wine prefix run to the next, so a name is
// taken only where no folder of it is left from an earlier run.
std::string NewFolder(const std::string& name) {
  static int made = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  for (;;) {
    const std::string folder = Utf8(temp) + "trellin-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++made) + "-" + name;
    if (CreateDirectoryW(Utf16(folder).c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return folder;
  }
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  if (FILE* out = _wfopen(Utf16(path).c_str(), L"wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
}

Bytes ReadFileBytes(const std::string& path) {
  Bytes bytes;
  if (FILE* in = _wfopen(Utf16(path).c_str(), L"rb")) {
    uint8_t chunk[65536];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(in);
  }
  return bytes;
}

void CopyInto(const std::string& file, const std::string& folder) {
  const std::string name = file.substr(file.find_last_of('\\') + 1);
  CopyFileW(Utf16(file).c_str(), Utf16(folder + "\\" + name).c_str(), FALSE);
}

std::string FakesFolder() { return FromEnvironment(L"TRELLIN_FAKES"); }
std::string DistFolder() { return FromEnvironment(L"TRELLIN_DIST"); }
std::string FakeName(int number) { return "fake" + std::to_string(number) + kPluginSuffix; }

Bytes FakeFile(char digit, const Bytes& packedBitmap) {
  Bytes file = {'F', 'A', 'K', 'E', static_cast<uint8_t>(digit), 0, 0, 0};
  Append(file, packedBitmap);
  return file;
}

Bytes PackedBitmap(int32_t width, int32_t height, uint16_t bitCount, const Bytes& table, const Bytes& rows) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biClrUsed = bitCount <= 8 ? static_cast<DWORD>(table.size() / 4) : 0;
  Bytes packed(sizeof header);
  std::memcpy(packed.data(), &header, sizeof header);
  Append(packed, table);
  Append(packed, rows);
  return packed;
}

size_t BusyHeapBlocks() {
  HANDLE heap = GetProcessHeap();
  size_t busy = 0;
  HeapLock(heap);
  PROCESS_HEAP_ENTRY entry = {};
  while (HeapWalk(heap, &entry)) busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
  HeapUnlock(heap);
  return busy;
}

CurrentFolder::CurrentFolder(const std::string& folder) {
  GetCurrentDirectoryW(MAX_PATH, previous_);
  SetCurrentDirectoryW(Utf16(folder).c_str());
}

CurrentFolder::~CurrentFolder() { SetCurrentDirectoryW(previous_); }
