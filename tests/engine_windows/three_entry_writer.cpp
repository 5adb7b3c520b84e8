// A stand-in for another image writer in xxgrp.dll's place: a Susie
// plug-in ("00IN", the four exports) whose writer has exactly the three
// saves with ANSI paths and every bit of its flags word set, as a writer of
// someone else's making may have. Its table ends where a page ends and the
// page after it may not be touched, so a caller that reads a fourth entry
// faults for sure.
//
// Each save writes a short text naming the entry and the option into the
// file, so that a test sees which entry was called with which path.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/susie_abi.h"
#include "xxgrp/image_writer_abi.h"

namespace {

template <const char* kEntry>
int32_t XXGRP_CALL SaveText(ImageWriter*, const char* path, int32_t option, const void*, const void*) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%s %d", kEntry, static_cast<int>(option));
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kWriterWriteError;
  DWORD written = 0;
  const bool done = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
  return done && written == static_cast<DWORD>(length) ? kWriterOk : kWriterWriteError;
}

constexpr char kSaveBmp[] = "SaveBmp";
constexpr char kSavePng[] = "SavePng";
constexpr char kSaveJpeg[] = "SaveJpeg";

// The table at the very end of a read-only page, followed by a page that
// may not be read.
const ImageWriterTable* TableBeforeAGuardPage() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (!pages) return nullptr;
  auto* table = reinterpret_cast<ImageWriterTable*>(pages + page - sizeof(ImageWriterTable));
  *table = {SaveText<kSaveBmp>, SaveText<kSavePng>, SaveText<kSaveJpeg>};
  DWORD previous = 0;
  if (!VirtualProtect(pages + page, page, PAGE_NOACCESS, &previous) ||
      !VirtualProtect(pages, page, PAGE_READONLY, &previous))
    return nullptr;
  return table;
}

}  // namespace

SPI_EXPORT ImageWriter* XXGRP_CALL GetModuleInstance(uint32_t) {
  static ImageWriter writer = {TableBeforeAGuardPage(), 0xFFFFFFFFu};
  return writer.table ? &writer : nullptr;
}

SPI_EXPORT int SPI_CALL GetPluginInfo(int infoNo, char* buffer, int bufferLength) {
  const char* const texts[] = {"00IN", "a writer with three entries", "*.none", "Nothing"};
  if (infoNo < 0 || infoNo > 3 || bufferLength < 1) return 0;
  const size_t length = std::min<size_t>(std::strlen(texts[infoNo]), static_cast<size_t>(bufferLength) - 1);
  std::memcpy(buffer, texts[infoNo], length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

SPI_EXPORT int SPI_CALL IsSupported(const char*, const void*) { return 0; }
SPI_EXPORT int SPI_CALL GetPictureInfo(const char*, SpiLongPtr, unsigned int, PictureInfo*) { return -1; }
SPI_EXPORT int SPI_CALL GetPicture(const char*, SpiLongPtr, unsigned int, SpiHandle*, SpiHandle*, ProgressCallback,
                                   SpiLongPtr) {
  return -1;
}
