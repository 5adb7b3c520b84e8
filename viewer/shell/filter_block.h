// The open dialogs' list of file types, built afresh from the plug-ins each
// time a dialog opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "viewer/engine/plugin_types.h"

// The plug-in list as the filter builder sees it: each plug-in by its place
// in the list.
class FilterPluginList {
 public:
  virtual ~FilterPluginList() = default;
  virtual size_t Count() const = 0;
  virtual bool IsLoaded(size_t index) const = 0;
  // Loads the plug-in; its type, 0 when it cannot be loaded.
  virtual uint32_t Load(size_t index) = 0;
  // The type of a loaded plug-in.
  virtual uint32_t Type(size_t index) = 0;
  // Plug-in information `number` into the buffer of `length` characters; the
  // characters written, 0 when the plug-in has no such information.
  virtual int GetInfo(size_t index, int number, char* buffer, int length) = 0;
  virtual void Unload(size_t index) = 0;
};

// Option bits of BuildFilterBlock.
inline constexpr unsigned kFilterImagePlugins = 1;
inline constexpr unsigned kFilterArchivePlugins = 2;
inline constexpr unsigned kFilterEachType = 16;
inline constexpr unsigned kOpenDialogFilterOptions = kFilterImagePlugins | kFilterArchivePlugins | kFilterEachType;

// The names of the block's own two entries ("All files", "All Images",
// from the string table), in the plug-ins' code page like the rest of the
// block: the plug-ins' texts are taken as they answer them, and the dialog
// reads the whole block in that code page.
struct FilterNames {
  std::string allFiles;
  std::string allImages;
};

// Only "All files" with "*.*": what the dialog offers when no plug-in names
// a file pattern.
std::string AllFilesFilter(const FilterNames& names);

// Description and pattern strings, each ending in a zero, and one more zero
// after the last: "All files" with "*.*", "All Images" with every collected
// pattern joined by ';', then (with kFilterEachType) each file type's
// description and pattern in plug-in and type order. Plug-ins that were not
// loaded are loaded for the question and unloaded again. Nothing when memory
// runs out.
std::optional<std::string> BuildFilterBlock(FilterPluginList& plugins, unsigned options, const FilterNames& names);

// The patterns of "All Images", joined by ';', as the open dialog offers
// them: those of the image plug-ins' file types that have a description.
// Empty when there are none or memory runs out.
std::string ImagePatterns(FilterPluginList& plugins);

// What an open dialog is given: the filter block and the entry shown first
// (1-based; 0 for the first).
struct OpenDialogFilter {
  std::string block;
  unsigned index;
};

// "All Images" preselected (index 2); without a block or without patterns
// only "All files" with index 0.
OpenDialogFilter MakeOpenDialogFilter(FilterPluginList& plugins, const FilterNames& names);
