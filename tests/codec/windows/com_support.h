// COM on the test side: owned interfaces, the imaging factory, a stream
// that misbehaves on request, and the registry read as the tests compare
// it before and after (un)registering.
#pragma once

#include <wincodec.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "tests/fixtures/picture.h"

struct Releaser {
  void operator()(IUnknown* object) const {
    if (object) object->Release();
  }
};
template <class T>
using Owned = std::unique_ptr<T, Releaser>;

IWICImagingFactory* Factory();

// An IStream over bytes in memory. It hands over at most `chunk` bytes a
// read; a read that would reach `failReadAt` fails; seeks fail from the
// `failSeekFrom`-th on; Stat claims `claimed` bytes.
struct HostileOptions {
  ULONG chunk = 0xFFFFFFFFu;
  ULONGLONG failReadAt = ~0ull;
  int failSeekFrom = 0;
  ULONGLONG claimed = ~0ull;  // ~0: the true size
};
Owned<IStream> MakeStream(const Bytes& bytes, const HostileOptions& options = HostileOptions());
// Where a stream stands.
ULONGLONG StreamPosition(IStream* stream);

// Every key and value below HKEY\subKey, as text, for comparing.
using RegistrySnapshot = std::map<std::wstring, std::wstring>;
void SnapshotKey(HKEY hive, const std::wstring& subKey, RegistrySnapshot* snapshot);
// The names of the keys right below HKEY\subKey.
void SnapshotNames(HKEY hive, const std::wstring& subKey, RegistrySnapshot* snapshot);
// A string value, or "(none)".
std::wstring RegistryText(HKEY hive, const std::wstring& key, const std::wstring& name = L"");

// Runs regsvr32 silently with these arguments and the codec's path; its exit code.
DWORD RunRegsvr32(const std::wstring& arguments, const std::wstring& dll);

std::wstring Wide(const std::string& text);
