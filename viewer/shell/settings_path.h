// Where the viewer keeps its settings: beside the program, named after it.
#pragma once

#include <string>
#include <string_view>

// The program's path with its extension replaced by "ini" (C:\Tools\Trellin.exe
// gives C:\Tools\Trellin.ini); a program file without an extension gets
// ".ini" appended.
std::string SettingsFilePath(std::string_view programPath);
