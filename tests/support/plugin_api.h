// The plug-in as a host sees it: its four exports and the blocks they hand
// over. Natively the exports are linked in; on Windows they come from the
// real DLL through LoadLibrary, so the same tests run against both.
#pragma once

#include <string>

#include "base/susie_abi.h"
#include "tests/fixtures/picture.h"

struct PluginApi {
  GetPluginInfoFn getPluginInfo;
  IsSupportedFn isSupported;
  GetPictureInfoFn getPictureInfo;
  GetPictureFn getPicture;
};
const PluginApi& Plugin();

// The two returned blocks copied out (and freed), with how they were handed.
struct Decoded {
  int result = -100;
  Bytes info;
  Bytes bits;
  bool handed = false;    // both handle arguments were written
  bool unlocked = false;  // both blocks came unlocked
};

// Decodes through GetPicture in memory mode or in file mode at `offset`.
Decoded DecodeMemory(const Bytes& file, ProgressCallback callback = nullptr, SpiLongPtr userData = 0);
Decoded DecodeFile(const std::string& path, SpiLongPtr offset = 0, ProgressCallback callback = nullptr,
                   SpiLongPtr userData = 0);

// GetPictureInfo in memory mode on the whole file, expecting the result.
PictureInfo InfoOf(const Bytes& file, int expectedResult = 0);

// Writes bytes to a new file in a temporary folder; returns its path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);

// Whether a movable block is unlocked (platform-specific).
bool IsUnlocked(SpiHandle block);

// A file opened by the "host" and positioned at `offset`, for the
// file-handle form of IsSupported.
class HostFile {
 public:
  HostFile(const std::string& path, long offset);
  ~HostFile();
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;
  const void* handle() const { return handle_; }

 private:
  const void* handle_;
};
