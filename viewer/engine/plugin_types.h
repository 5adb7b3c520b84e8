// Susie plug-in types: the four characters GetPluginInfo 0 writes, read as
// a little-endian word.
#pragma once

#include <cstdint>

constexpr uint32_t PluginType(const char (&name)[5]) {
  return static_cast<uint32_t>(static_cast<unsigned char>(name[0])) |
         static_cast<uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(name[2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(name[3])) << 24;
}

inline constexpr uint32_t kImagePluginType = PluginType("00IN");
inline constexpr uint32_t kArchivePluginType = PluginType("00AM");
