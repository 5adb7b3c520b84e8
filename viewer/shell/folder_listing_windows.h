// The names of the files in a folder, as the folder commands step
// through them.
#pragma once

#include <string>
#include <vector>

// The long names (UTF-8) of the files in `folder` (UTF-8, ending in a
// separator), in the order the system lists them; no folders, and no
// hidden or system files, which Explorer does not show either. Empty when
// the folder cannot be listed.
std::vector<std::string> FilesInFolder(const std::string& folder);
