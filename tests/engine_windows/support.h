// What the engine's Windows tests share: folders of their own, files
// written and read, the stand-in plug-ins and the real ones of this width.
// Paths are UTF-8, as the engine takes them, so folders of any script work.
#pragma once

#include <windows.h>

#include <string>

#include "tests/fixtures/picture.h"

#ifdef _WIN64
constexpr char kPluginSuffix[] = ".sph";
#else
constexpr char kPluginSuffix[] = ".spi";
#endif

// A new empty folder under the temporary folder.
std::string NewFolder(const std::string& name);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
Bytes ReadFileBytes(const std::string& path);
void CopyInto(const std::string& file, const std::string& folder);

// The folder of the stand-in plug-ins (TRELLIN_FAKES) and of this width's
// real plug-in and image writer (TRELLIN_DIST).
std::string FakesFolder();
std::string DistFolder();
// The stand-in plug-in `number`'s file name ("fake2.sph").
std::string FakeName(int number);

// A file of the stand-in format: "FAKE", the digit of the plug-in that
// takes it ('*' for any), three spare bytes, then a packed bitmap.
Bytes FakeFile(char digit, const Bytes& packedBitmap);
// A packed bitmap: header, then `table` bytes, then rows.
Bytes PackedBitmap(int32_t width, int32_t height, uint16_t bitCount, const Bytes& table, const Bytes& rows);

// Blocks in use on the process heap, where movable memory lives too.
size_t BusyHeapBlocks();

// The current folder for the lifetime of the object.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder);
  ~CurrentFolder();

 private:
  wchar_t previous_[MAX_PATH];
};
