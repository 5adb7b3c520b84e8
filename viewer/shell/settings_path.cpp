#include "viewer/shell/settings_path.h"

#include "viewer/engine/path_text.h"

std::string SettingsFilePath(std::string_view programPath) {
  // Only a dot inside the file name starts an extension: a dot in a folder
  // name (C:\Tools.old\Trellin) must not move the settings into the parent
  // folder under the folder's name.
  const size_t nameStart = FileNameStart(programPath);
  const size_t dot = programPath.rfind('.');
  if (dot == std::string_view::npos || dot < nameStart) return std::string(programPath) + ".ini";
  return std::string(programPath.substr(0, dot + 1)) + "ini";
}

std::string UserSettingsFilePath(std::string_view programPath, std::string_view localAppData) {
  if (localAppData.empty()) return {};
  const std::string settings = SettingsFilePath(programPath);
  return UserProgramFolder(localAppData) + "\\" + settings.substr(FileNameStart(settings));
}

SettingsFiles ChooseSettingsFiles(const std::string& besideProgram, const std::string& usersOwn, bool besideWritable,
                                  bool usersOwnExists) {
  if (besideWritable || usersOwn.empty()) return {besideProgram, besideProgram};
  return {usersOwnExists ? usersOwn : besideProgram, usersOwn};
}
