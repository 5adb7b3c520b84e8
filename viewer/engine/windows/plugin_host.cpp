#include "viewer/engine/windows/plugin_host.h"

#include <algorithm>
#include <cstring>

#include "base/blocks.h"
#include "base/sizes.h"
#include "platform/windows/text.h"
#include "viewer/engine/path_text.h"

namespace {

#ifdef _WIN64
constexpr char kExtension[] = "sph";
#else
constexpr char kExtension[] = "spi";
#endif

constexpr size_t kPrefixedImageOffset = 128;  // images after a 128-byte prefix
constexpr unsigned kFileMode = 0, kMemoryMode = 1;

const char* const kImageSlots[] = {"GetPictureInfo", "GetPicture", "GetPreview"};
const char* const kArchiveSlots[] = {"GetArchiveInfo", "GetFile", "GetFileInfo"};

// The decode that is running, for the host's progress callback. Its user
// data is not used: some plug-ins pass 0 or their own value back. Only one
// decode runs at a time, on the window's thread.
struct RunningDecode {
  DecodeProgress* progress = nullptr;
  bool stopAsked = false;
};
RunningDecode* running = nullptr;

// The host's progress callback. Outside a decode (a plug-in that keeps the
// pointer and calls later) it never asks to stop; once asked, it keeps
// asking without telling the progress again.
int SPI_CALL ReportProgress(int done, int total, SpiLongPtr) {
  if (!running || !running->progress) return 0;
  if (!running->stopAsked && running->progress->Report(done, total)) running->stopAsked = true;
  return running->stopAsked ? 1 : 0;
}

// A decode as the progress sees it, from its start to its end.
class DecodeScope {
 public:
  explicit DecodeScope(DecodeProgress* progress) : previous_(running) {
    decode_.progress = progress;
    running = &decode_;
    if (progress) progress->Begin();
  }
  ~DecodeScope() {
    running = previous_;
    if (decode_.progress) decode_.progress->End();
  }
  DecodeScope(const DecodeScope&) = delete;
  DecodeScope& operator=(const DecodeScope&) = delete;
  bool stopAsked() const { return decode_.stopAsked; }

 private:
  RunningDecode decode_;
  RunningDecode* previous_;
};

// What was handed over, freed once (also when one block came as both).
void FreeHandedOver(SpiHandle* info, SpiHandle* bits) {
  if (*info) LocalFree(*info);
  if (*bits && *bits != *info) LocalFree(*bits);
  *info = *bits = nullptr;
}

template <class Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

HANDLE OpenForReading(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

// A folder the system names through a call that takes a buffer and answers
// the length it needs; empty when it names none.
template <class Call>
std::wstring SystemFolder(Call call) {
  const UINT room = call(nullptr, 0);
  if (room == 0) return {};
  std::wstring folder(room, L'\0');
  const UINT length = call(folder.data(), room);
  if (length == 0 || length >= room) return {};
  folder.resize(length);
  return folder;
}

// The folder the Susie registry key names, or an empty text.
std::wstring RegistryPluginFolder() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tobrin\\Susie\\Plug-in", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return {};
  wchar_t folder[MAX_PATH + 1] = {};
  DWORD size = sizeof folder - sizeof folder[0];  // room for a terminating zero the value may lack
  const bool read =
      RegQueryValueExW(key, L"Path", nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return read ? std::wstring(folder) : std::wstring();
}

}  // namespace

// A file as the plug-ins are given it: by its ANSI path where one names it
// (AnsiPathOf), otherwise by its bytes, with a name of the same extension
// for the plug-ins' question. The file is opened and read once: the header
// the plug-ins are asked about and the bytes one of them decodes come from
// that one read, so a file that changes meanwhile cannot show one picture
// and hand over another.
class PluginList::Source {
 public:
  Source(std::wstring path, const AnsiPathRule& ansiPath) : path_(std::move(path)), ansi_(ansiPath(path_)) {
    if (!ansi_) name_ = platform::AnsiNameForMemory(path_);
  }

  // By path, the first bytes for both header offsets; in memory, the whole
  // file, or OutOfMemory when it cannot be held (or is longer than any
  // picture file can be). A file that cannot be opened shows the plug-ins
  // zeros either way, as a host shows them the header it could not read.
  SpiResult Read() { return ansi_ ? ReadFirstBytes() : ReadWhole(); }

  const char* name() const { return ansi_ ? ansi_->c_str() : name_.c_str(); }

  // The header's size from `offset`, zero beyond what was read.
  void Header(LONG offset, uint8_t* header) const {
    std::memset(header, 0, kPluginHeaderBytes);
    const size_t from = static_cast<size_t>(offset);
    if (from < length_) std::memcpy(header, bytes_.data() + from, std::min(kPluginHeaderBytes, length_ - from));
  }

  SpiResult Decode(const PluginRecord& plugin, LONG offset, SpiHandle* info, SpiHandle* bits) const {
    if (ansi_)
      return PluginAnswer(plugin.getPicture()(ansi_->c_str(), offset, kFileMode, info, bits, ReportProgress, 0));
    if (!opened_) return SpiResult::FileReadError;
    // As a plug-in answers a file no longer than the offset.
    if (static_cast<size_t>(offset) >= length_) return kRefused;
    return PluginAnswer(plugin.getPicture()(reinterpret_cast<const char*>(bytes_.data() + offset),
                                            static_cast<SpiLongPtr>(length_ - static_cast<size_t>(offset)),
                                            kMemoryMode, info, bits, ReportProgress, 0));
  }

 private:
  SpiResult ReadFirstBytes() {
    if (!bytes_.Allocate(kFirstBytes)) return SpiResult::OutOfMemory;
    HANDLE file = OpenForReading(path_);
    if (file == INVALID_HANDLE_VALUE) return SpiResult::Ok;
    DWORD got = 0;
    if (ReadFile(file, bytes_.data(), static_cast<DWORD>(kFirstBytes), &got, nullptr)) length_ = got;
    CloseHandle(file);
    return SpiResult::Ok;
  }

  SpiResult ReadWhole() {
    HANDLE file = OpenForReading(path_);
    if (file == INVALID_HANDLE_VALUE) return SpiResult::Ok;
    opened_ = true;
    const SpiResult result = ReadAll(file);
    CloseHandle(file);
    return result;
  }

  // Two zero bytes follow the data, for plug-ins that look for an end.
  SpiResult ReadAll(HANDLE file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return SpiResult::FileReadError;
    size_t length, room;
    if (static_cast<uint64_t>(size.QuadPart) > kMaxPictureFileBytes ||
        !ToSize(static_cast<uint64_t>(size.QuadPart), &length) || !AddSize(length, kZeroTail, &room) ||
        !bytes_.Allocate(room))
      return SpiResult::OutOfMemory;
    for (size_t done = 0; done < length;) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length - done, size_t{1} << 30));
      DWORD got = 0;
      if (!ReadFile(file, bytes_.data() + done, chunk, &got, nullptr) || got != chunk) return SpiResult::FileReadError;
      done += got;
    }
    std::memset(bytes_.data() + length, 0, kZeroTail);
    length_ = length;
    return SpiResult::Ok;
  }

  // Enough for the header at either offset.
  static constexpr size_t kFirstBytes = kPrefixedImageOffset + kPluginHeaderBytes;
  static constexpr size_t kZeroTail = 2;

  std::wstring path_;
  std::optional<std::string> ansi_;
  std::string name_;  // for the question only, when there is no ANSI path
  HeapBuffer bytes_;
  size_t length_ = 0;  // of the bytes read
  bool opened_ = false;
};

PluginRecord::PluginRecord(PluginRecord&& other) noexcept { *this = std::move(other); }

PluginRecord& PluginRecord::operator=(PluginRecord&& other) noexcept {
  if (this == &other) return *this;
  Unload();
  path_ = std::move(other.path_);
  module_ = other.module_;
  getPluginInfo_ = other.getPluginInfo_;
  isSupported_ = other.isSupported_;
  std::memcpy(slots_, other.slots_, sizeof slots_);
  other.module_ = nullptr;
  return *this;
}

uint32_t PluginRecord::Load() {
  if (module_) return Type();
  // Its dependencies come from its own folder or the restricted search
  // (RestrictLibrarySearch), never from the current folder.
  module_ = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (!module_) return 0;
  // A library without these two stays loaded until the record lets it go.
  getPluginInfo_ = Entry<GetPluginInfoFn>(module_, "GetPluginInfo");
  isSupported_ = Entry<IsSupportedFn>(module_, "IsSupported");
  if (!getPluginInfo_ || !isSupported_) return 0;
  const uint32_t type = Type();
  const char* const* names = type == kImagePluginType     ? kImageSlots
                             : type == kArchivePluginType ? kArchiveSlots
                                                          : nullptr;
  if (!names) return 0;
  for (int i = 0; i < 3; ++i) slots_[i] = GetProcAddress(module_, names[i]);
  // GetPreview is optional; every other entry point is required.
  const bool complete = slots_[0] && slots_[1] && (type == kImagePluginType || slots_[2]);
  return complete ? type : 0;
}

bool PluginRecord::Unload() {
  if (!module_) return true;
  const bool freed = FreeLibrary(module_) != 0;
  module_ = nullptr;
  return freed;
}

uint32_t PluginRecord::Type() const {
  char type[8] = {};
  getPluginInfo_(0, type, sizeof type);  // its answer is not needed: the buffer says it
  uint32_t word;
  std::memcpy(&word, type, sizeof word);
  return word;
}

int PluginRecord::GetInfo(int infoNo, char* buffer, int bufferLength) const {
  return getPluginInfo_(infoNo, buffer, bufferLength);
}

bool PluginRecord::Supports(const char* name, const uint8_t* header) const { return isSupported_(name, header) != 0; }

PluginList::PluginList() : ansiPath_(platform::AnsiPathOf) {}

void PluginList::Search(uint32_t flags, const std::wstring& programFolder, const wchar_t* directory) {
  flags_ = flags;
  records_.clear();
  ScanDirectory(programFolder);
  // Records keep full paths: a plug-in is loaded by its full path alone.
  if (directory) {
    ScanDirectory(SystemFolder(
        [directory](wchar_t* buffer, UINT room) { return GetFullPathNameW(directory, room, buffer, nullptr); }));
  }
  ScanDirectory(SystemFolder([](wchar_t* buffer, UINT room) { return GetSystemDirectoryW(buffer, room); }));
  if (flags_ & kSearchRegistryPath) ScanDirectory(RegistryPluginFolder());
}

bool PluginList::Accepts(uint32_t type) const {
  const bool image = flags_ & kAcceptImage, archive = flags_ & kAcceptArchive;
  if (image && archive) return type != 0;
  if (image) return type == kImagePluginType;
  return archive && type == kArchivePluginType;
}

// In the order the system lists the files; a library found in two
// folders is listed twice, and the first is always asked first. The
// pattern also matches a name whose short (8.3) alias ends so, such as a
// plug-in renamed "x.spi_old" to switch it off; only the exact extension
// counts.
void PluginList::ScanDirectory(const std::wstring& directory) {
  if (directory.empty()) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((directory + L"\\*." + platform::Utf16(kExtension)).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!HasExtension(platform::Utf8(found.cFileName), kExtension)) continue;
    PluginRecord record(directory + L"\\" + found.cFileName);
    if (!Accepts(record.Load())) continue;  // the record unloads as it goes
    if (flags_ & kUnloadAfterProbe) record.Unload();
    records_.push_back(std::move(record));
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// A plug-in that says yes stays loaded and is asked directly next time;
// one loaded only to be asked is let go again at once.
PluginRecord* PluginList::FindPlugin(const Source& source, LONG offset) {
  uint8_t header[kPluginHeaderBytes];
  source.Header(offset, header);
  for (PluginRecord& record : records_) {
    const bool wasLoaded = record.IsLoaded();
    if (!wasLoaded && !record.Load()) {
      record.Unload();  // a library that no longer serves is not kept half bound
      continue;
    }
    if (record.Supports(source.name(), header)) return &record;
    if (!wasLoaded) record.Unload();
  }
  return nullptr;
}

SpiResult PluginList::DecodeFile(const char* path, SpiHandle* info, SpiHandle* bits) {
  const DecodeScope scope(progress_);
  Source source(platform::Utf16(path), ansiPath_);
  if (const SpiResult read = source.Read(); read != SpiResult::Ok) return read;
  LONG offset = 0;
  PluginRecord* plugin = FindPlugin(source, offset);
  if (!plugin) plugin = FindPlugin(source, offset = static_cast<LONG>(kPrefixedImageOffset));
  if (!plugin || plugin->Type() != kImagePluginType) return kRefused;
  *info = nullptr;
  *bits = nullptr;
  const SpiResult result = source.Decode(*plugin, offset, info, bits);
  if (result != SpiResult::Ok) {
    // Whatever the handles point at after a failure is still the plug-in's.
    *info = *bits = nullptr;
    return scope.stopAsked() ? SpiResult::Aborted : result;
  }
  // A picture the user stopped is not taken, even from a plug-in that
  // finished it all the same.
  if (scope.stopAsked()) {
    FreeHandedOver(info, bits);
    return SpiResult::Aborted;
  }
  if (*info && *bits && *info != *bits) return SpiResult::Ok;
  // A success the host cannot use: what was handed over is freed here.
  FreeHandedOver(info, bits);
  return kNothingHandedOver;
}
