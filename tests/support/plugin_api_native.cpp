// Natively the exports are linked into the test program, and a host's
// file handle is a file descriptor.
#include <fcntl.h>
#include <unistd.h>

#include "platform/test_hooks.h"
#include "tests/support/plugin_api.h"

SPI_EXPORT int SPI_CALL GetPluginInfo(int, char*, int);
SPI_EXPORT int SPI_CALL IsSupported(const char*, const void*);
SPI_EXPORT int SPI_CALL GetPictureInfo(const char*, SpiLongPtr, unsigned int, PictureInfo*);
SPI_EXPORT int SPI_CALL GetPicture(const char*, SpiLongPtr, unsigned int, SpiHandle*, SpiHandle*, ProgressCallback,
                                   SpiLongPtr);

const PluginApi& Plugin() {
  static const PluginApi api{GetPluginInfo, IsSupported, GetPictureInfo, GetPicture};
  return api;
}

bool IsUnlocked(SpiHandle block) { return platform::test::LockCount(block) == 0; }

HostFile::HostFile(const std::string& path, long offset) {
  const int fd = open(path.c_str(), O_RDONLY);
  lseek(fd, offset, SEEK_SET);
  handle_ = reinterpret_cast<const void*>(static_cast<intptr_t>(fd));
}

HostFile::~HostFile() { close(static_cast<int>(reinterpret_cast<intptr_t>(handle_))); }
