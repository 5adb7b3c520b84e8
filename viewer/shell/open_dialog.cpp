#include "viewer/shell/open_dialog.h"

#include <cstring>

#include "platform/windows/text.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/folder_order.h"
#include "viewer/shell/strings.h"

namespace {

// The plug-in list as the filter builder asks it.
class PluginFilterList final : public FilterPluginList {
 public:
  explicit PluginFilterList(PluginList& plugins) : records_(plugins.records()) {}
  size_t Count() const override { return records_.size(); }
  bool IsLoaded(size_t index) const override { return records_[index].IsLoaded(); }
  uint32_t Load(size_t index) override { return records_[index].Load(); }
  uint32_t Type(size_t index) override { return records_[index].Type(); }
  int GetInfo(size_t index, int number, char* buffer, int length) override {
    return records_[index].GetInfo(number, buffer, length);
  }
  void Unload(size_t index) override { records_[index].Unload(); }

 private:
  std::vector<PluginRecord>& records_;
};

// The filter in a block of fixed local memory of exactly its size, freed
// when the dialog has closed: the block as the plug-ins wrote it, read in
// the ANSI code page.
class FilterMemory {
 public:
  explicit FilterMemory(const std::string& block) {
    const std::wstring wide = platform::FromAnsi(block);
    memory_ = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, wide.size() * sizeof(wchar_t)));
    if (memory_) std::memcpy(memory_, wide.data(), wide.size() * sizeof(wchar_t));
  }
  ~FilterMemory() { LocalFree(memory_); }
  FilterMemory(const FilterMemory&) = delete;
  FilterMemory& operator=(const FilterMemory&) = delete;
  const wchar_t* text() const { return memory_; }

 private:
  wchar_t* memory_ = nullptr;
};

FilterNames NamesFromStringTable() {
  return {platform::ToAnsiLossy(LoadText(IDS_FILTER_ALL_FILES)),
          platform::ToAnsiLossy(LoadText(IDS_FILTER_ALL_IMAGES))};
}

// The Explorer-style dialog with a hook, which lets the dialog be resized.
UINT_PTR CALLBACK KeepDefaults(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

OpenDialogFilter OpenDialogFilterFor(PluginList& plugins) {
  PluginFilterList list(plugins);
  return MakeOpenDialogFilter(list, NamesFromStringTable());
}

std::vector<std::string> PicturePatternsFor(PluginList& plugins) {
  PluginFilterList list(plugins);
  return SplitPatterns(platform::Utf8(platform::FromAnsi(ImagePatterns(list))));
}

std::optional<OpenChoice> RunOpenDialog(HWND owner, UINT titleId, PluginList& plugins) {
  PluginFilterList list(plugins);
  const FilterNames names = NamesFromStringTable();
  const OpenDialogFilter filter = MakeOpenDialogFilter(list, names);
  const FilterMemory memory(filter.block);
  // Where no memory was left for the block: all files alone.
  const std::wstring allFiles = platform::FromAnsi(AllFilesFilter(names));
  const std::wstring title = LoadText(titleId);
  wchar_t file[MAX_PATH] = {};
  wchar_t fileTitle[256] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = memory.text() ? memory.text() : allFiles.c_str();
  dialog.nFilterIndex = memory.text() ? filter.index : 0;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrFileTitle = fileTitle;
  dialog.nMaxFileTitle = 256;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
  dialog.lpfnHook = KeepDefaults;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return OpenChoice{platform::Utf8(file), platform::Utf8(fileTitle)};
}
