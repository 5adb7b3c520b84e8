#include "tests/codec/windows/com_support.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

class HostileStream final : public IStream {
 public:
  HostileStream(const Bytes& bytes, const HostileOptions& options) : bytes_(bytes), options_(options) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IStream) || riid == __uuidof(ISequentialStream)) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }
  STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override {
    ULONG n = 0;
    if (position_ < bytes_.size()) {
      const ULONGLONG left = bytes_.size() - position_;
      n = static_cast<ULONG>(left < size ? left : size);
      if (n > options_.chunk) n = options_.chunk;
    }
    if (read) *read = 0;
    if (options_.failReadAt != ~0ull && position_ + n > options_.failReadAt) return STG_E_READFAULT;
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    if (read) *read = n;
    return n < size ? S_FALSE : S_OK;
  }
  STDMETHODIMP Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* where) override {
    if (options_.failSeekFrom && ++seeks_ >= options_.failSeekFrom) return STG_E_SEEKERROR;
    LONGLONG base = origin == STREAM_SEEK_SET ? 0 : origin == STREAM_SEEK_CUR ? LONGLONG(position_) : LONGLONG(bytes_.size());
    if (base + move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<ULONGLONG>(base + move.QuadPart);
    if (where) where->QuadPart = position_;
    return S_OK;
  }
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Revert() override { return E_NOTIMPL; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Stat(STATSTG* status, DWORD) override {
    std::memset(status, 0, sizeof *status);
    status->type = STGTY_STREAM;
    status->cbSize.QuadPart = options_.claimed == ~0ull ? bytes_.size() : options_.claimed;
    return S_OK;
  }
  STDMETHODIMP Clone(IStream**) override { return E_NOTIMPL; }

  ULONGLONG position_ = 0;

 private:
  LONG refs_ = 1;
  Bytes bytes_;
  HostileOptions options_;
  int seeks_ = 0;
};

std::wstring ValueText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  std::wstring text = std::to_wstring(type) + L":";
  static const wchar_t kHex[] = L"0123456789abcdef";
  for (DWORD i = 0; i < size; ++i) {
    text += kHex[data[i] >> 4];
    text += kHex[data[i] & 15];
  }
  return text;
}

}  // namespace

IWICImagingFactory* Factory() {
  static IWICImagingFactory* factory = [] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IWICImagingFactory* created = nullptr;
    CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&created));
    return created;
  }();
  return factory;
}

Owned<IStream> MakeStream(const Bytes& bytes, const HostileOptions& options) {
  return Owned<IStream>(new HostileStream(bytes, options));
}

ULONGLONG StreamPosition(IStream* stream) {
  LARGE_INTEGER none{};
  ULARGE_INTEGER where{};
  stream->Seek(none, STREAM_SEEK_CUR, &where);
  return where.QuadPart;
}

void SnapshotKey(HKEY hive, const std::wstring& subKey, RegistrySnapshot* snapshot) {
  HKEY key;
  if (RegOpenKeyExW(hive, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  (*snapshot)[subKey] = L"(key)";
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD length = 16384, type = 0, size = 0;
    if (RegEnumValueW(key, i, name, &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + 2);
    length = 16384;
    RegEnumValueW(key, i, name, &length, nullptr, &type, data.data(), &size);
    (*snapshot)[subKey + L"|" + name] = ValueText(type, data, size);
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.push_back(subKey + L"\\" + name);
  }
  RegCloseKey(key);
  for (const std::wstring& child : children) SnapshotKey(hive, child, snapshot);
}

void SnapshotNames(HKEY hive, const std::wstring& subKey, RegistrySnapshot* snapshot) {
  HKEY key;
  if (RegOpenKeyExW(hive, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    (*snapshot)[subKey + L"\\" + name] = L"(name)";
  }
  RegCloseKey(key);
}

std::wstring RegistryText(HKEY hive, const std::wstring& key, const std::wstring& name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(hive, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS)
    return L"(none)";
  return text;
}

DWORD RunRegsvr32(const std::wstring& arguments, const std::wstring& dll) {
  std::wstring command = L"regsvr32.exe /s " + arguments + L" \"" + dll + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 0xFFFFFFFFu;
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 0xFFFFFFFFu;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
  if (length > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
  return wide;
}
