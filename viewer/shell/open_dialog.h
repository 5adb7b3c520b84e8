// The open dialog of the three open commands, with the file types the
// plug-ins report.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "viewer/engine/plugin_host.h"

struct OpenChoice {
  std::string path;   // the full path, at most 259 characters
  std::string title;  // the file's name without its folder
};

// The dialog titled with the string-table entry `titleId`; nothing when it
// is cancelled or fails (a path longer than its 260-character buffer
// included).
std::optional<OpenChoice> RunOpenDialog(HWND owner, UINT titleId, PluginList& plugins);
