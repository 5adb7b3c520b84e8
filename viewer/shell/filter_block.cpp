#include "viewer/shell/filter_block.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

// Each pattern and each description is read into a buffer of this size.
constexpr int kInfoLength = 64;
// A plug-in answers info numbers 2 and 3 for its first file type, 4 and 5
// for the second, and so on until it has no more.
constexpr int kFirstTypeInfo = 2;
// A plug-in that answers every number would keep the dialog from ever
// opening; no real one has this many file types.
constexpr int kMaxTypesPerPlugin = 256;

struct FileType {
  std::string description;
  std::string pattern;
};

bool WantsType(uint32_t type, unsigned options) {
  return (type == kImagePluginType && (options & kFilterImagePlugins)) ||
         (type == kArchivePluginType && (options & kFilterArchivePlugins));
}

// The plug-in's text for an info number; nothing when it has none. A text
// that fills the buffer without a zero is taken as it stands. An empty text
// counts as none: in the block it would be a second zero in a row, which
// ends the dialog's list of file types there.
std::optional<std::string> ReadInfo(FilterPluginList& plugins, size_t index, int number) {
  char buffer[kInfoLength] = {};
  if (plugins.GetInfo(index, number, buffer, kInfoLength) == 0 || buffer[0] == '\0') return std::nullopt;
  return std::string(buffer, strnlen(buffer, kInfoLength));
}

// A pattern whose description is missing ends the plug-in's list there: it
// adds nothing, not even to "All Images".
void CollectTypes(FilterPluginList& plugins, size_t index, bool wantDescriptions, std::vector<FileType>& types) {
  for (int t = 0; t < kMaxTypesPerPlugin; ++t) {
    const int number = kFirstTypeInfo + 2 * t;
    std::optional<std::string> pattern = ReadInfo(plugins, index, number);
    if (!pattern) return;
    std::optional<std::string> description;
    if (wantDescriptions) {
      description = ReadInfo(plugins, index, number + 1);
      if (!description) return;
    }
    types.push_back({description.value_or(std::string()), std::move(*pattern)});
  }
}

std::vector<FileType> CollectAllTypes(FilterPluginList& plugins, unsigned options) {
  std::vector<FileType> types;
  for (size_t i = 0; i < plugins.Count(); ++i) {
    const bool wasLoaded = plugins.IsLoaded(i);
    if (wasLoaded || plugins.Load(i) != 0) {
      if (WantsType(plugins.Type(i), options)) CollectTypes(plugins, i, options & kFilterEachType, types);
    }
    // Also after a failed load: it may have left the library loaded without
    // the functions a loaded plug-in is trusted to have.
    if (!wasLoaded) plugins.Unload(i);
  }
  return types;
}

void AppendString(std::string& block, const std::string& text) {
  block += text;
  block += '\0';
}

std::string JoinPatterns(const std::vector<FileType>& types) {
  std::string joined;
  for (const FileType& type : types) joined += type.pattern + ';';
  joined.pop_back();  // the last ';'
  return joined;
}

}  // namespace

std::string AllFilesFilter(const FilterNames& names) {
  std::string block;
  AppendString(block, names.allFiles);
  AppendString(block, "*.*");
  block += '\0';
  return block;
}

std::optional<std::string> BuildFilterBlock(FilterPluginList& plugins, unsigned options, const FilterNames& names) {
  try {
    const std::vector<FileType> types = CollectAllTypes(plugins, options);
    // "All Images" with an empty pattern would end the list early (two zeros
    // in a row), so without patterns it is left out.
    if (types.empty()) return AllFilesFilter(names);
    std::string block;
    AppendString(block, names.allFiles);
    AppendString(block, "*.*");
    AppendString(block, names.allImages);
    AppendString(block, JoinPatterns(types));
    if (options & kFilterEachType) {
      for (const FileType& type : types) {
        AppendString(block, type.description);
        AppendString(block, type.pattern);
      }
    }
    block += '\0';
    return block;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::string ImagePatterns(FilterPluginList& plugins) {
  try {
    const std::vector<FileType> types = CollectAllTypes(plugins, kFilterImagePlugins | kFilterEachType);
    return types.empty() ? std::string() : JoinPatterns(types);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

OpenDialogFilter MakeOpenDialogFilter(FilterPluginList& plugins, const FilterNames& names) {
  std::optional<std::string> block = BuildFilterBlock(plugins, kOpenDialogFilterOptions, names);
  const std::string allFiles = AllFilesFilter(names);
  if (!block || *block == allFiles) return {allFiles, 0};
  return {std::move(*block), 2};
}
