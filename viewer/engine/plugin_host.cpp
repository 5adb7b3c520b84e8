#include "viewer/engine/plugin_host.h"

#include <cstring>

namespace {

#ifdef _WIN64
constexpr char kPattern[] = "\\*.sph";
#else
constexpr char kPattern[] = "\\*.spi";
#endif

constexpr LONG kPrefixedImageOffset = 128;  // images after a 128-byte prefix
constexpr int kUnsupported = 2;
constexpr int kNothingHandedOver = 5;

const char* const kImageSlots[] = {"GetPictureInfo", "GetPicture", "GetPreview"};
const char* const kArchiveSlots[] = {"GetArchiveInfo", "GetFile", "GetFileInfo"};

// The host's progress callback: never asks to stop.
int SPI_CALL ContinueDecoding(int, int, SpiLongPtr) { return 0; }

template <class Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Up to the header's size from `offset`; what cannot be read stays zero.
void ReadHeader(const char* path, LONG offset, uint8_t* header) {
  std::memset(header, 0, kPluginHeaderBytes);
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD got = 0;
  if (SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
    ReadFile(file, header, kPluginHeaderBytes, &got, nullptr);
  CloseHandle(file);
}

// The folder the Susie registry key names, or an empty text.
std::string RegistryPluginFolder() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tobrin\\Susie\\Plug-in", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return {};
  char folder[256] = {};
  DWORD size = sizeof folder - 1;  // room for a terminating zero the value may lack
  const bool read =
      RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return read ? std::string(folder) : std::string();
}

}  // namespace

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
  module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
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

bool PluginRecord::Supports(const char* path, const uint8_t* header) const { return isSupported_(path, header) != 0; }

void PluginList::Search(uint32_t flags, const char* directory) {
  flags_ = flags;
  records_.clear();
  char current[MAX_PATH];
  const DWORD currentLength = GetCurrentDirectoryA(sizeof current, current);
  if (currentLength && currentLength < sizeof current) ScanDirectory(current);
  // Records keep full paths: a plug-in is loaded by its full path alone.
  char given[MAX_PATH];
  const DWORD givenLength = directory ? GetFullPathNameA(directory, sizeof given, given, nullptr) : 0;
  if (givenLength && givenLength < sizeof given) ScanDirectory(given);
  char system[255];
  const UINT systemLength = GetSystemDirectoryA(system, sizeof system);
  if (systemLength && systemLength < sizeof system) ScanDirectory(system);
  if (flags_ & kSearchRegistryPath) {
    const std::string folder = RegistryPluginFolder();
    if (!folder.empty()) ScanDirectory(folder);
  }
}

bool PluginList::Accepts(uint32_t type) const {
  const bool image = flags_ & kAcceptImage, archive = flags_ & kAcceptArchive;
  if (image && archive) return type != 0;
  if (image) return type == kImagePluginType;
  return archive && type == kArchivePluginType;
}

// In the order the system lists the files; a library found in two
// folders is listed twice, and the first is always asked first.
void PluginList::ScanDirectory(const std::string& directory) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((directory + kPattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    PluginRecord record(directory + "\\" + found.cFileName);
    if (!Accepts(record.Load())) continue;  // the record unloads as it goes
    if (flags_ & kUnloadAfterProbe) record.Unload();
    records_.push_back(std::move(record));
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// A plug-in that says yes stays loaded and is asked directly next time;
// one loaded only to be asked is let go again at once.
PluginRecord* PluginList::FindPlugin(const char* path, LONG offset) {
  uint8_t header[kPluginHeaderBytes];
  ReadHeader(path, offset, header);
  for (PluginRecord& record : records_) {
    const bool wasLoaded = record.IsLoaded();
    if (!wasLoaded && !record.Load()) {
      record.Unload();  // a library that no longer serves is not kept half bound
      continue;
    }
    if (record.Supports(path, header)) return &record;
    if (!wasLoaded) record.Unload();
  }
  return nullptr;
}

int PluginList::DecodeFile(const char* path, SpiHandle* info, SpiHandle* bits) {
  LONG offset = 0;
  PluginRecord* plugin = FindPlugin(path, offset);
  if (!plugin) plugin = FindPlugin(path, offset = kPrefixedImageOffset);
  if (!plugin || plugin->Type() != kImagePluginType) return kUnsupported;
  *info = nullptr;
  *bits = nullptr;
  const int result = plugin->getPicture()(path, offset, 0, info, bits, ContinueDecoding, 0);
  if (result != 0) {
    // Whatever the handles point at after a failure is still the plug-in's.
    *info = *bits = nullptr;
    return result;
  }
  if (*info && *bits && *info != *bits) return 0;
  // A success the host cannot use: what was handed over is freed here,
  // once, also when one block came as both.
  if (*info) LocalFree(*info);
  if (*bits && *bits != *info) LocalFree(*bits);
  *info = *bits = nullptr;
  return kNothingHandedOver;
}
