// Folders the system names for the user.
#pragma once

#include <string>

namespace platform {

// The user's local application data folder (%LOCALAPPDATA%); empty when
// the system names none.
std::wstring LocalAppDataFolder();

}  // namespace platform
