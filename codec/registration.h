// What registering the codec writes, as a table, and the two algorithms
// that write and remove it through a small registry interface (the real
// registry on Windows, a map in the tests).
//
// Everything lies in the Classes key below one root: HKLM\Software for a
// machine-wide registration, HKCU\Software for one user. Keys the
// codec owns (its classes and its decoder category entry) are written anew
// and removed whole. Values in keys other programs use too (an extension's
// perceived type, its thumbnail handler) are written only where absent,
// and every such value and every key the codec had to create is noted in a
// ledger under the decoder's class key, so that unregistering removes
// exactly those, and a value only while it still holds what we wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class RegistryScope { Machine, User };

struct InstallOptions {
  RegistryScope scope = RegistryScope::Machine;
  // Thumbnails and the perceived type also for these: other programs
  // commonly own .tga (a general picture format) and .bbm (a paint
  // program's brushes), so they are left alone unless asked for.
  bool tga = false;
  bool bbm = false;
};

// DllInstall's command line: the words "user", "machine", "tga" and "bbm",
// separated by spaces or commas, in any case. False for any other word.
bool ParseInstallOptions(const std::wstring& commandLine, InstallOptions* options);

enum class ValueKind { KeyOnly, Text, Number, Bytes };

struct RegistryValue {
  ValueKind kind = ValueKind::KeyOnly;
  std::wstring name;  // empty: the key's default value
  std::wstring text;
  uint32_t number = 0;
  std::vector<uint8_t> bytes;

  bool operator==(const RegistryValue& other) const {
    return kind == other.kind && name == other.name && text == other.text && number == other.number &&
           bytes == other.bytes;
  }
};

struct RegistryEntry {
  std::wstring key;  // below the root ("Classes\\..."), parts separated by backslashes
  RegistryValue value;
  bool shared = false;  // in a key other programs use too
};

// Every entry for a module at `modulePath`, in the order they are written.
std::vector<RegistryEntry> RegistrationTable(const std::wstring& modulePath, const InstallOptions& options);
// The keys the codec owns whole.
std::vector<std::wstring> OwnedKeys();
// The extensions given thumbnails ("px", ...) under these options.
std::vector<std::wstring> ThumbnailExtensions(const InstallOptions& options);

// The registry below one root. Results are Windows error codes:
// 0 for success, kRegistryNotFound for a key or value that is not there.
constexpr long kRegistryOk = 0;
constexpr long kRegistryNotFound = 2;

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  virtual bool KeyExists(const std::wstring& key) = 0;
  // Creates one key whose parent exists.
  virtual long CreateKey(const std::wstring& key) = 0;
  virtual long Read(const std::wstring& key, const std::wstring& name, RegistryValue* value) = 0;
  // Writes a value into an existing key.
  virtual long Write(const std::wstring& key, const RegistryValue& value) = 0;
  virtual long DeleteValue(const std::wstring& key, const std::wstring& name) = 0;
  // Removes a key with everything below it; a key that is not there is no failure.
  virtual long DeleteTree(const std::wstring& key) = 0;
  // Removes a key only while it holds no value and no key.
  virtual long DeleteIfEmpty(const std::wstring& key) = 0;
  virtual long ValueNames(const std::wstring& key, std::vector<std::wstring>* names) = 0;
};

// Writes the table. On a failure what was written is removed again and
// the failure returned.
long Register(RegistryStore& store, const std::wstring& modulePath, const InstallOptions& options);
// Removes what Register wrote, the owned keys whole and the rest by the
// ledger. 0 when nothing of ours is left.
long Unregister(RegistryStore& store);
