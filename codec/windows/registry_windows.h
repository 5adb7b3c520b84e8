// The registry below HKLM\Software or HKCU\Software, as the registration
// algorithms see it. A 32-bit module on 64-bit Windows sees
// the 32-bit view of the class keys, as its classes must be registered.
#pragma once

#include <windows.h>

#include "codec/registration.h"

class WindowsRegistry : public RegistryStore {
 public:
  explicit WindowsRegistry(HKEY hive);
  ~WindowsRegistry() override;
  WindowsRegistry(const WindowsRegistry&) = delete;
  WindowsRegistry& operator=(const WindowsRegistry&) = delete;

  bool KeyExists(const std::wstring& key) override;
  long CreateKey(const std::wstring& key) override;
  long Read(const std::wstring& key, const std::wstring& name, RegistryValue* value) override;
  long Write(const std::wstring& key, const RegistryValue& value) override;
  long DeleteValue(const std::wstring& key, const std::wstring& name) override;
  long DeleteTree(const std::wstring& key) override;
  long DeleteIfEmpty(const std::wstring& key) override;
  long ValueNames(const std::wstring& key, std::vector<std::wstring>* names) override;

 private:
  long Open(const std::wstring& key, REGSAM access, HKEY* opened);

  HKEY root_ = nullptr;
  long rootStatus_;
};
