// A stand-in Susie plug-in that checks the names a host gives it. Like
// many plug-ins it copies every name into a char[MAX_PATH]; a name that
// does not fit ends the process with code 86 instead of overflowing, so a
// host's test sees it. It reads BMP files: the information block is the
// file's header and colour table, the pixel block the rest.
//
// In the picture it hands over, biXPelsPerMeter tells how it was given the
// file (1 by name, 2 in memory) and biYPelsPerMeter the length of the
// name IsSupported got.
#include <windows.h>

#include <cstring>
#include <string>

#include "base/susie_abi.h"

namespace {

constexpr UINT kNameTooLong = 86;

size_t lastSupportedName = 0;

// The copy plug-ins make of a name, checked.
void CopyName(const char* name, char (&copy)[MAX_PATH]) {
  const size_t length = std::strlen(name);
  if (length >= MAX_PATH) ExitProcess(kNameTooLong);
  std::memcpy(copy, name, length + 1);
}

bool ReadWholeFile(const char* path, std::string* bytes) {
  char name[MAX_PATH];
  CopyName(path, name);
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const DWORD size = GetFileSize(file, nullptr);
  bytes->resize(size);
  DWORD got = 0;
  const bool read = size == 0 || (::ReadFile(file, &(*bytes)[0], size, &got, nullptr) && got == size);
  CloseHandle(file);
  return read;
}

HLOCAL Block(const char* bytes, size_t size) {
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE, size ? size : 1);
  if (block) {
    std::memcpy(LocalLock(block), bytes, size);
    LocalUnlock(block);
  }
  return block;
}

// The blocks of a BMP file's bytes, marked with how they came.
int HandOver(const std::string& bmp, LONG how, SpiHandle* info, SpiHandle* bits) {
  if (bmp.size() < 54 || bmp.compare(0, 2, "BM") != 0) return 2;
  DWORD offset;
  std::memcpy(&offset, bmp.data() + 10, 4);
  if (offset < 54 || offset > bmp.size()) return 2;
  std::string header = bmp.substr(14, offset - 14);
  auto* fields = reinterpret_cast<BITMAPINFOHEADER*>(&header[0]);
  fields->biXPelsPerMeter = how;
  fields->biYPelsPerMeter = static_cast<LONG>(lastSupportedName);
  *info = Block(header.data(), header.size());
  *bits = Block(bmp.data() + offset, bmp.size() - offset);
  return 0;
}

bool Picture(const char* buffer, SpiLongPtr length, unsigned int flag, std::string* bytes) {
  if (flag & 1) {
    bytes->assign(buffer, static_cast<size_t>(length));
    return true;
  }
  return ReadWholeFile(buffer, bytes);
}

}  // namespace

extern "C" {

__declspec(dllexport) int SPI_CALL GetPluginInfo(int infoNo, char* buffer, int bufferLength) {
  const char* texts[] = {"00IN", "Name probe", "*.bmp", "Bitmaps"};
  if (infoNo < 0 || infoNo > 3 || bufferLength <= 0) return 0;
  std::strncpy(buffer, texts[infoNo], static_cast<size_t>(bufferLength));
  buffer[bufferLength - 1] = '\0';
  return static_cast<int>(std::strlen(buffer));
}

__declspec(dllexport) int SPI_CALL IsSupported(const char* fileName, const void* source) {
  char name[MAX_PATH];
  CopyName(fileName, name);
  lastSupportedName = std::strlen(name);
  return std::memcmp(source, "BM", 2) == 0;
}

__declspec(dllexport) int SPI_CALL GetPictureInfo(const char* buffer, SpiLongPtr length, unsigned int flag,
                                                  PictureInfo* info) {
  std::string bytes;
  if (!Picture(buffer, length, flag, &bytes) || bytes.size() < 54) return 6;
  std::memset(info, 0, sizeof *info);
  std::memcpy(&info->width, bytes.data() + 18, 4);
  std::memcpy(&info->height, bytes.data() + 22, 4);
  std::memcpy(&info->colorDepth, bytes.data() + 28, 2);
  return 0;
}

__declspec(dllexport) int SPI_CALL GetPicture(const char* buffer, SpiLongPtr length, unsigned int flag,
                                              SpiHandle* info, SpiHandle* bits, ProgressCallback, SpiLongPtr) {
  std::string bytes;
  if (!Picture(buffer, length, flag, &bytes)) return 6;
  return HandOver(bytes, flag & 1 ? 2 : 1, info, bits);
}

}  // extern "C"
