// Natively the exports are linked into the test program.
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
