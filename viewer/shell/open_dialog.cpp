#include "viewer/shell/open_dialog.h"

#include <cstring>

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
// when the dialog has closed.
class FilterMemory {
 public:
  explicit FilterMemory(const std::string& block) : memory_(static_cast<char*>(LocalAlloc(LMEM_FIXED, block.size()))) {
    if (memory_) std::memcpy(memory_, block.data(), block.size());
  }
  ~FilterMemory() { LocalFree(memory_); }
  FilterMemory(const FilterMemory&) = delete;
  FilterMemory& operator=(const FilterMemory&) = delete;
  const char* text() const { return memory_; }

 private:
  char* memory_;
};

// The Explorer-style dialog with a hook, which lets the dialog be resized.
UINT_PTR CALLBACK KeepDefaults(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

OpenDialogFilter OpenDialogFilterFor(PluginList& plugins) {
  PluginFilterList list(plugins);
  return MakeOpenDialogFilter(list);
}

std::optional<OpenChoice> RunOpenDialog(HWND owner, UINT titleId, PluginList& plugins) {
  const OpenDialogFilter filter = OpenDialogFilterFor(plugins);
  const FilterMemory memory(filter.block);
  const std::string title = LoadText(titleId);
  char file[MAX_PATH] = {};
  char fileTitle[256] = {};
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = memory.text() ? memory.text() : kAllFilesFilter;
  dialog.nFilterIndex = memory.text() ? filter.index : 0;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrFileTitle = fileTitle;
  dialog.nMaxFileTitle = sizeof fileTitle;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
  dialog.lpfnHook = KeepDefaults;
  if (!GetOpenFileNameA(&dialog)) return std::nullopt;
  return OpenChoice{file, fileTitle};
}
