// The libraries through which the viewer decodes and writes pictures, found
// and bound once at start-up, before any window exists: the Susie plug-ins
// and xxgrp.dll's image writer, the last entry of the plug-in list.
#pragma once

#include <string>

#include "viewer/engine/windows/image_writer_binding.h"
#include "viewer/engine/windows/plugin_host.h"

// From here on, libraries are found only in the program's folder and the
// system folder, never in the current folder (which the file dialogs move
// to the pictures' folder) nor on PATH. A plug-in, loaded by its full path,
// may still bring its own dependencies from its own folder.
void RestrictLibrarySearch();

// The running program's folder, without a final backslash; empty when its
// path cannot be had.
std::wstring ProgramFolder();

struct ImageLibraries {
  PluginList plugins;
  ImageWriterBinding writer;

  // Searches the plug-ins as the viewer does (the program's folder, then
  // `pluginFolder` when given, then the system folder) and binds xxgrp.dll
  // from the program's folder by its full path. False when the writer
  // cannot be bound; the plug-ins are searched either way.
  bool Load(const std::wstring& programFolder, const wchar_t* pluginFolder = nullptr);
};
