// A stand-in Susie plug-in for the host's tests, built several times with
// different settings. Its files are "FAKE", a digit, three spare bytes and
// then a packed bitmap (header, colour table or masks, rows). A plug-in
// says yes to the files of its own digit and to those marked '*', and
// hands over the header and table as the information block and the rest of
// the file as the pixel block, exactly as long as the file has it.
//
// It writes its own number into biXPelsPerMeter and the position it was
// given into biYPelsPerMeter, so that a test sees who decoded what, where.
//
// Settings: FAKE_NUMBER (a digit), FAKE_ARCHIVE (type "00AM" with the
// archive entry points), FAKE_RESULT (GetPicture answers this code), and
// plug-ins that get the hand-over wrong: FAKE_NOTHING_HANDED_OVER (answers
// 0 but hands over no pixel block), FAKE_NO_INFO (answers 0 with only the
// pixel block), FAKE_SAME_BLOCK (answers 0 with one block as both) and
// FAKE_FAILS_KEEPING_BLOCKS (answers 3 with both handles pointing at a
// block it keeps; FakeKeptBlockSize tells whether it is still there), and
// FAKE_DEPENDENCY (imports fakedep.dll, without which it does not load),
// FAKE_ASCII_NAMES_ONLY (cannot open a file whose name is not ASCII, as a
// plug-in that opens files its own way; in memory it decodes anything),
// FAKE_MAX_PATH_NAMES (as a plug-in that copies every name it is given into
// a char[MAX_PATH]: it refuses a longer one, and keeps the longest name it
// saw in the environment variable FAKE_LONGEST_NAME and whether a block in
// memory ended in two zero bytes in FAKE_ZERO_TAIL), FAKE_JPEG_ONLY (says
// yes only to names ending in ".jpeg", as plug-ins that go by the
// extension) and FAKE_MARKER (leaves a file named after itself with
// ".loaded" appended whenever it is loaded, so a test sees that it ran),
// FAKE_PROGRESS_STEPS (reports that many steps through the host's
// callback, FAKE_PROGRESS_MS apart, and answers 1 when it asks to stop;
// with FAKE_IGNORES_STOP it goes on to the end all the same). It counts
// the reports the host answered in the environment variable FAKE_REPORTS,
// and sets FAKE_IN_PICTURE to 1 while it works.
//
// Like every Susie plug-in it also decodes a file handed over in memory
// (flag bit 0); the position it notes is then 0.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/susie_abi.h"

namespace {

constexpr size_t kMagicSize = 8;
constexpr char kDigit = '0' + FAKE_NUMBER;

#ifdef FAKE_ARCHIVE
constexpr char kType[] = "00AM";
#else
constexpr char kType[] = "00IN";
#endif
const std::string kPattern = std::string("*.fk") + kDigit;
const std::string kName = std::string("Fake pictures ") + kDigit;

bool IsOurs(const uint8_t* header) {
  return std::memcmp(header, "FAKE", 4) == 0 && (header[4] == kDigit || header[4] == '*');
}

// Whether the name is one the plug-in takes at all.
bool TakesName(const char* name) {
#ifdef FAKE_MAX_PATH_NAMES
  const size_t length = std::strlen(name);
  char seen[32] = "0";
  GetEnvironmentVariableA("FAKE_LONGEST_NAME", seen, sizeof seen);
  if (length > std::strtoul(seen, nullptr, 10))
    SetEnvironmentVariableA("FAKE_LONGEST_NAME", std::to_string(length).c_str());
  if (length >= MAX_PATH) return false;
#endif
#ifdef FAKE_JPEG_ONLY
  const size_t length = std::strlen(name);
  if (length < 5 || lstrcmpiA(name + length - 5, ".jpeg") != 0) return false;
#endif
  return name != nullptr;
}

bool ReadFile(const char* path, SpiLongPtr offset, std::string* bytes) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const DWORD size = GetFileSize(file, nullptr);
  bytes->resize(size);
  DWORD got = 0;
  const bool read = ::ReadFile(file, &(*bytes)[0], size, &got, nullptr) && got == size;
  CloseHandle(file);
  if (!read || offset < 0 || static_cast<size_t>(offset) > size) return false;
  bytes->erase(0, static_cast<size_t>(offset));
  return true;
}

// A movable block of the bytes; a file without them still gets a block of
// one byte (one of no bytes could not be locked), too short for any rows.
HLOCAL Block(const char* bytes, size_t size) {
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size ? size : 1);
  std::memcpy(LocalLock(block), bytes, size);
  LocalUnlock(block);
  return block;
}

// The information block: the header and whatever of a colour table or
// masks its depth implies, as far as the file has them.
size_t InfoSize(const std::string& dib) {
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  size_t size = header->biSize;
  if (header->biBitCount <= 8) size += 4 * (header->biClrUsed ? header->biClrUsed : 1u << header->biBitCount);
  if (header->biCompression == BI_BITFIELDS && header->biSize == 40) size += 12;
  return size < dib.size() ? size : dib.size();
}

}  // namespace

#ifdef FAKE_DEPENDENCY
extern "C" __declspec(dllimport) int FakeDependency();
#endif

SPI_EXPORT int SPI_CALL GetPluginInfo(int infoNo, char* buffer, int bufferLength) {
#ifdef FAKE_DEPENDENCY
  FakeDependency();
#endif
  const std::string texts[] = {kType, "fake", kPattern, kName};
  if (infoNo < 0 || infoNo > 3 || bufferLength < 1) return 0;
  const std::string& text = texts[infoNo];
  const size_t length = text.size() < static_cast<size_t>(bufferLength) ? text.size() : bufferLength - 1;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

SPI_EXPORT int SPI_CALL IsSupported(const char* name, const void* source) {
  return TakesName(name) && IsOurs(static_cast<const uint8_t*>(source));
}

#ifdef FAKE_MARKER
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatW(path, L".loaded");
  CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return TRUE;
}
#endif

SPI_EXPORT int SPI_CALL GetPictureInfo(const char*, SpiLongPtr, unsigned int, PictureInfo*) { return -1; }

#ifdef FAKE_FAILS_KEEPING_BLOCKS
namespace {
HLOCAL kept = nullptr;
}  // namespace

// The size of the block the last failing call kept, 0 once it is gone; the
// block is freed here.
SPI_EXPORT SIZE_T SPI_CALL FakeKeptBlockSize() {
  const SIZE_T size = LocalSize(kept);
  LocalFree(kept);
  kept = nullptr;
  return size;
}
#endif

#ifdef FAKE_PROGRESS_STEPS
namespace {
// The reports, each after a pause; true when the host asked to stop and
// the plug-in stops.
bool ReportSlowly(ProgressCallback callback, SpiLongPtr userData) {
  SetEnvironmentVariableA("FAKE_IN_PICTURE", "1");
  int answered = 0;
  bool stop = false;
#ifdef FAKE_IGNORES_STOP
  constexpr bool kStops = false;
#else
  constexpr bool kStops = true;
#endif
  for (int step = 0; step <= FAKE_PROGRESS_STEPS && !(stop && kStops); ++step) {
    if (step > 0) Sleep(FAKE_PROGRESS_MS);
    if (!callback) continue;
    stop = callback(step, FAKE_PROGRESS_STEPS, userData) != 0;
    ++answered;
  }
  SetEnvironmentVariableA("FAKE_REPORTS", std::to_string(answered).c_str());
  SetEnvironmentVariableA("FAKE_IN_PICTURE", "0");
  return stop && kStops;
}
}  // namespace
#endif

SPI_EXPORT int SPI_CALL GetPicture(const char* path, SpiLongPtr position, unsigned int flag, SpiHandle* info,
                                   SpiHandle* bits, ProgressCallback callback, SpiLongPtr userData) {
#ifdef FAKE_PROGRESS_STEPS
  if (ReportSlowly(callback, userData)) return 1;
#else
  (void)callback;
  (void)userData;
#endif
#ifdef FAKE_RESULT
  return FAKE_RESULT;
#endif
#ifdef FAKE_FAILS_KEEPING_BLOCKS
  kept = Block("kept", 4);
  *info = *bits = kept;
  return 3;
#endif
  std::string file;
  if (flag & 1) {
    if (position < 0) return 2;
    file.assign(path, static_cast<size_t>(position));
#ifdef FAKE_MAX_PATH_NAMES
    const bool zeroTail = path[position] == 0 && path[position + 1] == 0;
    SetEnvironmentVariableA("FAKE_ZERO_TAIL", zeroTail ? "1" : "0");
#endif
    position = 0;
  } else {
    if (!TakesName(path)) return 6;
#ifdef FAKE_ASCII_NAMES_ONLY
    for (const char* c = path; *c; ++c)
      if (static_cast<unsigned char>(*c) >= 0x80) return 6;
#endif
    if (!ReadFile(path, position, &file)) return 6;
  }
  if (file.size() < kMagicSize + 40) return 2;
  std::string dib = file.substr(kMagicSize);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(&dib[0]);
  header->biXPelsPerMeter = FAKE_NUMBER;
  header->biYPelsPerMeter = static_cast<LONG>(position);
  const size_t infoSize = InfoSize(dib);
  *info = Block(dib.data(), infoSize);
  *bits = Block(dib.data() + infoSize, dib.size() - infoSize);
#ifdef FAKE_NOTHING_HANDED_OVER
  LocalFree(*bits);
  *bits = nullptr;
#endif
#ifdef FAKE_NO_INFO
  LocalFree(*info);
  *info = nullptr;
#endif
#ifdef FAKE_SAME_BLOCK
  LocalFree(*bits);
  *bits = *info;
#endif
  return 0;
}

#ifdef FAKE_ARCHIVE
SPI_EXPORT int SPI_CALL GetArchiveInfo() { return -1; }
SPI_EXPORT int SPI_CALL GetFile() { return -1; }
SPI_EXPORT int SPI_CALL GetFileInfo() { return -1; }
#endif
