// The viewer's side of the Susie plug-in interface: each plug-in found at
// start-up, remembered by path with its entry points, and the ordered list
// that a file is matched against. Plug-ins are loaded only while they are
// asked or once one has matched.
//
// The 32-bit viewer finds "*.spi" plug-ins and calls them with the classic
// 32-bit convention; the 64-bit viewer finds "*.sph" plug-ins and passes
// pointer-sized lengths, offsets and user data, as 64-bit plug-ins expect.
//
// Plug-ins take file names in the ANSI code page. A file is handed over by
// a path in that code page where one names it (see platform::AnsiPathOf);
// otherwise it is read here and handed over in memory, with a name that
// keeps its extension for the plug-ins that go by it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/susie_abi.h"
#include "viewer/engine/decode_progress.h"
#include "viewer/engine/picture_decoder.h"
#include "viewer/engine/plugin_types.h"

// The first bytes of a file, as the plug-ins are shown them.
constexpr size_t kPluginHeaderBytes = 2048;

// One plug-in library. A record owns its loaded module alone: moving it
// moves the module, and destroying it unloads the module.
class PluginRecord {
 public:
  explicit PluginRecord(std::wstring path) : path_(std::move(path)) {}
  ~PluginRecord() { Unload(); }
  PluginRecord(PluginRecord&& other) noexcept;
  PluginRecord& operator=(PluginRecord&& other) noexcept;
  PluginRecord(const PluginRecord&) = delete;
  PluginRecord& operator=(const PluginRecord&) = delete;

  // Loads the library (unless it is loaded) and binds its entry points;
  // the plug-in's type, or 0 when it cannot serve as one.
  uint32_t Load();
  // FreeLibrary's result, or true when nothing was loaded.
  bool Unload();
  bool IsLoaded() const { return module_ != nullptr; }
  // Only while loaded.
  uint32_t Type() const;
  int GetInfo(int infoNo, char* buffer, int bufferLength) const;
  // `name` in the ANSI code page; `header` the file's first bytes.
  bool Supports(const char* name, const uint8_t* header) const;

  const std::wstring& path() const { return path_; }
  HMODULE module() const { return module_; }
  GetPictureFn getPicture() const { return reinterpret_cast<GetPictureFn>(reinterpret_cast<void*>(slots_[1])); }

 private:
  std::wstring path_;
  HMODULE module_ = nullptr;
  GetPluginInfoFn getPluginInfo_ = nullptr;
  IsSupportedFn isSupported_ = nullptr;
  // By type: GetPictureInfo, GetPicture, GetPreview for an image plug-in;
  // GetArchiveInfo, GetFile, GetFileInfo for an archive plug-in.
  FARPROC slots_[3] = {};
};

// How a path is given to a plug-in by name: its ANSI form, or nothing.
using AnsiPathRule = std::function<std::optional<std::string>(const std::wstring& path)>;

class PluginList : public PictureDecoder {
 public:
  enum SearchFlags : uint32_t {
    kUnloadAfterProbe = 1,
    kAcceptImage = 2,
    kAcceptArchive = 4,
    kSearchRegistryPath = 8,
  };

  PluginList();

  // Fills the list: the program's own folder, then `directory` when given,
  // then the system directory, then (with kSearchRegistryPath) the folder
  // the Susie registry key names. Never the current folder: started from
  // a downloads folder or through "Open with", that is the pictures'
  // folder, where a planted plug-in would run.
  void Search(uint32_t flags, const std::wstring& programFolder, const wchar_t* directory);
  void Append(PluginRecord record) { records_.push_back(std::move(record)); }
  // `path` in UTF-8. Ok when decoded; the plug-in's code; kRefused when no
  // plug-in takes the file; kNothingHandedOver when one answers 0 without
  // handing over both blocks; and for a file handed over in memory,
  // FileReadError when it cannot be read and OutOfMemory when it cannot be
  // held.
  SpiResult DecodeFile(const char* path, SpiHandle* info, SpiHandle* bits) override;

  std::vector<PluginRecord>& records() { return records_; }
  // platform::AnsiPathOf unless a test gives another rule.
  void SetAnsiPathRule(AnsiPathRule rule) { ansiPath_ = std::move(rule); }
  // Told of every decode and of the plug-in's reports; none by default.
  // A decode it asks to stop ends with Aborted and hands nothing over,
  // whatever the plug-in answers then. A plug-in that never reports runs
  // to its end.
  void SetProgress(DecodeProgress* progress) { progress_ = progress; }

 private:
  class Source;
  void ScanDirectory(const std::wstring& directory);
  bool Accepts(uint32_t type) const;
  // The first plug-in that says yes to the file's header read at `offset`.
  PluginRecord* FindPlugin(const Source& source, LONG offset);

  uint32_t flags_ = 0;
  std::vector<PluginRecord> records_;
  AnsiPathRule ansiPath_;
  DecodeProgress* progress_ = nullptr;
};
