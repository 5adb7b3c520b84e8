#include "tests/engine_windows/support.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string NewFolder(const std::string& name) {
  static int made = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "trellin-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++made) + "-" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CopyInto(const std::string& file, const std::string& folder) {
  const std::string name = file.substr(file.find_last_of('\\') + 1);
  CopyFileA(file.c_str(), (folder + "\\" + name).c_str(), FALSE);
}

std::string FakesFolder() { return FromEnvironment("TRELLIN_FAKES"); }
std::string DistFolder() { return FromEnvironment("TRELLIN_DIST"); }
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
  GetCurrentDirectoryA(sizeof previous_, previous_);
  SetCurrentDirectoryA(folder.c_str());
}

CurrentFolder::~CurrentFolder() { SetCurrentDirectoryA(previous_); }
