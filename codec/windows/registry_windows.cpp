#include "codec/windows/registry_windows.h"

namespace {

// Closes a key when it goes away.
struct Key {
  HKEY handle = nullptr;
  ~Key() {
    if (handle) RegCloseKey(handle);
  }
};

}  // namespace

WindowsRegistry::WindowsRegistry(HKEY hive)
    : rootStatus_(RegOpenKeyExW(hive, L"Software", 0, KEY_READ, &root_)) {}

WindowsRegistry::~WindowsRegistry() {
  if (root_) RegCloseKey(root_);
}

long WindowsRegistry::Open(const std::wstring& key, REGSAM access, HKEY* opened) {
  if (rootStatus_ != ERROR_SUCCESS) return rootStatus_;
  return RegOpenKeyExW(root_, key.c_str(), 0, access, opened);
}

bool WindowsRegistry::KeyExists(const std::wstring& key) {
  Key k;
  return Open(key, KEY_READ, &k.handle) == ERROR_SUCCESS;
}

long WindowsRegistry::CreateKey(const std::wstring& key) {
  if (rootStatus_ != ERROR_SUCCESS) return rootStatus_;
  Key k;
  return RegCreateKeyExW(root_, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k.handle, nullptr);
}

long WindowsRegistry::Read(const std::wstring& key, const std::wstring& name, RegistryValue* value) {
  Key k;
  if (const long status = Open(key, KEY_QUERY_VALUE, &k.handle)) return status;
  DWORD type = 0, size = 0;
  if (const long status = RegQueryValueExW(k.handle, name.c_str(), nullptr, &type, nullptr, &size)) return status;
  std::vector<uint8_t> data(size + sizeof(wchar_t));
  if (const long status = RegQueryValueExW(k.handle, name.c_str(), nullptr, &type, data.data(), &size)) return status;
  RegistryValue v;
  v.name = name;
  if (type == REG_SZ) {
    v.kind = ValueKind::Text;
    v.text.assign(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!v.text.empty() && v.text.back() == L'\0') v.text.pop_back();
  } else if (type == REG_DWORD && size == sizeof(DWORD)) {
    v.kind = ValueKind::Number;
    v.number = *reinterpret_cast<const DWORD*>(data.data());
  } else if (type == REG_BINARY) {
    v.kind = ValueKind::Bytes;
    v.bytes.assign(data.begin(), data.begin() + size);
  }
  *value = v;
  return ERROR_SUCCESS;
}

long WindowsRegistry::Write(const std::wstring& key, const RegistryValue& value) {
  Key k;
  if (const long status = Open(key, KEY_SET_VALUE, &k.handle)) return status;
  const wchar_t* name = value.name.c_str();
  switch (value.kind) {
    case ValueKind::Text:
      return RegSetValueExW(k.handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                            static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
    case ValueKind::Number: {
      const DWORD number = value.number;
      return RegSetValueExW(k.handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    case ValueKind::Bytes:
      return RegSetValueExW(k.handle, name, 0, REG_BINARY, value.bytes.data(), static_cast<DWORD>(value.bytes.size()));
    case ValueKind::KeyOnly: break;
  }
  return ERROR_SUCCESS;
}

long WindowsRegistry::DeleteValue(const std::wstring& key, const std::wstring& name) {
  Key k;
  if (const long status = Open(key, KEY_SET_VALUE, &k.handle)) return status;
  return RegDeleteValueW(k.handle, name.c_str());
}

long WindowsRegistry::DeleteTree(const std::wstring& key) {
  if (rootStatus_ != ERROR_SUCCESS) return rootStatus_;
  // RegDeleteTreeW removes what lies below, the key itself goes after.
  {
    Key k;
    if (const long status = Open(key, KEY_READ | KEY_WRITE | DELETE, &k.handle)) return status;
    if (const long status = RegDeleteTreeW(k.handle, nullptr)) return status;
  }
  return RegDeleteKeyW(root_, key.c_str());
}

long WindowsRegistry::DeleteIfEmpty(const std::wstring& key) {
  DWORD keys = 0, values = 0;
  {
    Key k;
    if (const long status = Open(key, KEY_READ, &k.handle)) return status;
    if (const long status = RegQueryInfoKeyW(k.handle, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values,
                                             nullptr, nullptr, nullptr, nullptr))
      return status;
  }
  if (keys || values) return ERROR_SUCCESS;
  return RegDeleteKeyW(root_, key.c_str());
}

long WindowsRegistry::ValueNames(const std::wstring& key, std::vector<std::wstring>* names) {
  Key k;
  if (const long status = Open(key, KEY_QUERY_VALUE, &k.handle)) return status;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD length = sizeof name / sizeof name[0];
    const long status = RegEnumValueW(k.handle, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    names->emplace_back(name, length);
  }
}
