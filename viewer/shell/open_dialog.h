// The open dialog of the three open commands, with the file types the
// plug-ins report.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "viewer/engine/windows/plugin_host.h"
#include "viewer/shell/filter_block.h"

// Both in UTF-8.
struct OpenChoice {
  std::string path;   // the full path, at most 259 characters
  std::string title;  // the file's name without its folder
};

// The file types the dialog offers, asked afresh of every plug-in in the
// list, with the entry shown first: the block as the plug-ins answer it, in
// the ANSI code page.
OpenDialogFilter OpenDialogFilterFor(PluginList& plugins);

// The single patterns of the dialog's "All Images" (such as "*.cz1"), in
// UTF-8: the files the folder commands step through.
std::vector<std::string> PicturePatternsFor(PluginList& plugins);

// The dialog titled with the string-table entry `titleId`; nothing when it
// is cancelled or fails (a path longer than its 260-character buffer
// included).
std::optional<OpenChoice> RunOpenDialog(HWND owner, UINT titleId, PluginList& plugins);
