// The names a host hands a Susie plug-in. Many plug-ins copy the name they
// are given into a char[MAX_PATH]; a name of MAX_PATH bytes or more would
// overflow it. The ANSI form of a path of fewer than MAX_PATH UTF-16 units
// can pass that: about 520 bytes in code page 932, 780 in UTF-8.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t kPluginNameRoom = 260;  // MAX_PATH

// True when a char[MAX_PATH] holds the ANSI name with its terminating zero.
bool FitsPlugin(const std::string& ansiName);

// The name IsSupported gets with a file handed over in memory, where only
// its extension counts: the file's ANSI name, or where that does not fit,
// its extension alone (with the dot), or where not even that does, an
// empty name.
std::string MemoryModeName(const std::string& ansiFileName);
