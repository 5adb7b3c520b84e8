#include "base/plugin_names.h"

bool FitsPlugin(const std::string& ansiName) { return ansiName.size() < kPluginNameRoom; }

std::string MemoryModeName(const std::string& ansiFileName) {
  if (FitsPlugin(ansiFileName)) return ansiFileName;
  // A dot is one byte in every ANSI code page, and no lead or trail byte
  // of a double-byte character is 0x2E, so the cut ends between characters.
  const size_t dot = ansiFileName.rfind('.');
  if (dot != std::string::npos && FitsPlugin(ansiFileName.substr(dot))) return ansiFileName.substr(dot);
  return {};
}
