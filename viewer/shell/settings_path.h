// Where the viewer keeps its settings: beside the program, named after it;
// in the user's own folder where the program's cannot be written.
#pragma once

#include <string>
#include <string_view>

// The program's path with its extension replaced by "ini" (C:\Tools\Trellin.exe
// gives C:\Tools\Trellin.ini); a program file without an extension gets
// ".ini" appended.
std::string SettingsFilePath(std::string_view programPath);

// The settings file of the same name in the program's folder among the
// user's local application data (UserProgramFolder); empty without one.
std::string UserSettingsFilePath(std::string_view programPath, std::string_view localAppData);

// Where the settings are read from and written to.
struct SettingsFiles {
  std::string read;
  std::string write;
};

// Beside the program while its folder can be written, as always. A program
// unpacked where the account may not write (Program Files, run on a
// standard account) would lose every change there, so it keeps its
// settings in the user's own folder instead, and reads them from there
// once that file exists; until then the file beside the program, where
// there is one, brings the lists in.
SettingsFiles ChooseSettingsFiles(const std::string& besideProgram, const std::string& usersOwn, bool besideWritable,
                                  bool usersOwnExists);
