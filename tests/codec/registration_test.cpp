// Registering and unregistering against a registry in memory: the table's
// content as WIC and the shell read it, and that unregistering leaves the
// registry exactly as it was.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "codec/codec_ids.h"
#include "codec/registration.h"

namespace {

class MemoryRegistry : public RegistryStore {
 public:
  std::set<std::wstring> keys;
  std::map<std::wstring, std::map<std::wstring, RegistryValue>> values;
  int refuseChange = 0;  // the n-th change from now (counting from 1) is refused, as without rights
  bool refuseAll = false;
  int changes = 0;

  bool KeyExists(const std::wstring& key) override { return keys.count(key) != 0; }
  long CreateKey(const std::wstring& key) override {
    const size_t cut = key.rfind(L'\\');
    if (cut != std::wstring::npos && !KeyExists(key.substr(0, cut))) return kRegistryNotFound;
    if (!Change()) return 5;
    keys.insert(key);
    return kRegistryOk;
  }
  long Read(const std::wstring& key, const std::wstring& name, RegistryValue* value) override {
    auto k = values.find(key);
    if (k == values.end() || !k->second.count(name)) return kRegistryNotFound;
    *value = k->second[name];
    return kRegistryOk;
  }
  long Write(const std::wstring& key, const RegistryValue& value) override {
    if (!KeyExists(key)) return kRegistryNotFound;
    if (!Change()) return 5;
    values[key][value.name] = value;
    return kRegistryOk;
  }
  long DeleteValue(const std::wstring& key, const std::wstring& name) override {
    if (!Change()) return 5;
    return values[key].erase(name) ? kRegistryOk : kRegistryNotFound;
  }
  long DeleteTree(const std::wstring& key) override {
    if (!KeyExists(key)) return kRegistryNotFound;
    if (!Change()) return 5;
    for (auto it = keys.begin(); it != keys.end();) {
      if (*it == key || it->rfind(key + L"\\", 0) == 0) {
        values.erase(*it);
        it = keys.erase(it);
      } else {
        ++it;
      }
    }
    return kRegistryOk;
  }
  long DeleteIfEmpty(const std::wstring& key) override {
    if (!KeyExists(key)) return kRegistryNotFound;
    if (values.count(key) && !values[key].empty()) return 0;
    for (const std::wstring& other : keys)
      if (other.rfind(key + L"\\", 0) == 0) return 0;
    if (!Change()) return 5;
    keys.erase(key);
    values.erase(key);
    return kRegistryOk;
  }
  long ValueNames(const std::wstring& key, std::vector<std::wstring>* names) override {
    if (!KeyExists(key)) return kRegistryNotFound;
    for (const auto& [name, value] : values[key]) names->push_back(name);
    return kRegistryOk;
  }

  void Add(const std::wstring& key, const std::wstring& name = L"", const std::wstring& text = L"") {
    for (size_t cut = key.find(L'\\'); cut != std::wstring::npos; cut = key.find(L'\\', cut + 1))
      keys.insert(key.substr(0, cut));
    keys.insert(key);
    if (!text.empty()) values[key][name] = RegistryValue{ValueKind::Text, name, text};
  }
  std::wstring Text(const std::wstring& key, const std::wstring& name = L"") {
    RegistryValue v;
    return Read(key, name, &v) == kRegistryOk ? v.text : L"(none)";
  }
  // Keys and non-empty value maps only, so that snapshots compare as the registry does.
  std::pair<std::set<std::wstring>, std::map<std::wstring, std::map<std::wstring, RegistryValue>>> Snapshot() const {
    auto v = values;
    for (auto it = v.begin(); it != v.end();) it = it->second.empty() ? v.erase(it) : std::next(it);
    return {keys, v};
  }

 private:
  bool Change() {
    ++changes;
    return !refuseAll && changes != refuseChange;
  }
};

const std::wstring kPath = L"C:\\Program Files\\Mornel\\MornelCodec64.dll";
const std::wstring kDecoder = L"Classes\\CLSID\\" + GuidText(kDecoderClass);
const std::wstring kThumbnails = L"Classes\\CLSID\\" + GuidText(kThumbnailClass);
const std::wstring kInstance = L"Classes\\CLSID\\{7ED96837-96F0-4812-B211-F13C24117ED3}\\Instance\\" + GuidText(kDecoderClass);
const std::wstring kHandler = L"\\ShellEx\\{E357FCCD-A995-4576-B01F-234630154E96}";

// A machine's classes before we come: other decoders, an extension that
// already has a perceived type of another kind, one with a foreign
// thumbnail handler, and an empty key of another program's.
MemoryRegistry Machine() {
  MemoryRegistry r;
  r.Add(L"Classes\\CLSID\\{7ED96837-96F0-4812-B211-F13C24117ED3}\\Instance\\{00000000-0000-0000-0000-000000000001}", L"CLSID",
        L"{00000000-0000-0000-0000-000000000001}");
  r.Add(L"Classes\\.lgf", L"PerceivedType", L"text");
  r.Add(L"Classes\\SystemFileAssociations\\.cz1" + kHandler, L"", L"{11111111-0000-0000-0000-000000000000}");
  r.Add(L"Classes\\.cz2");
  return r;
}

TEST(Registration, WritesWhatWicAndTheShellRead) {
  MemoryRegistry r = Machine();
  ASSERT_EQ(Register(r, kPath, InstallOptions()), kRegistryOk);
  EXPECT_EQ(r.Text(kDecoder + L"\\InprocServer32"), kPath);
  EXPECT_EQ(r.Text(kDecoder + L"\\InprocServer32", L"ThreadingModel"), L"Both");
  EXPECT_EQ(r.Text(kDecoder, L"ContainerFormat"), GuidText(kContainerFormat));
  EXPECT_EQ(r.Text(kDecoder, L"Vendor"), GuidText(kVendor));
  EXPECT_EQ(r.Text(kDecoder, L"FileExtensions"), L".px,.lfb,.lff,.lcf,.lgf,.cz1,.cz2,.tga,.bbm");
  EXPECT_NE(r.Text(kDecoder, L"MimeTypes"), L"(none)");
  EXPECT_NE(r.Text(kDecoder, L"FriendlyName"), L"(none)");
  EXPECT_NE(r.Text(kDecoder, L"Version"), L"(none)");
  EXPECT_TRUE(r.KeyExists(kDecoder + L"\\Formats\\{6FDDC324-4E03-4BFE-B185-3D77768DC90F}"));
  EXPECT_TRUE(r.KeyExists(kDecoder + L"\\Formats\\{6FDDC324-4E03-4BFE-B185-3D77768DC904}"));
  EXPECT_EQ(r.Text(kInstance, L"CLSID"), GuidText(kDecoderClass));
  RegistryValue pattern, mask, length;
  ASSERT_EQ(r.Read(kDecoder + L"\\Patterns\\0", L"Pattern", &pattern), kRegistryOk);
  ASSERT_EQ(r.Read(kDecoder + L"\\Patterns\\0", L"Mask", &mask), kRegistryOk);
  ASSERT_EQ(r.Read(kDecoder + L"\\Patterns\\0", L"Length", &length), kRegistryOk);
  EXPECT_EQ(pattern.bytes, (std::vector<uint8_t>{'L', 'F', 'B', 0}));
  EXPECT_EQ(mask.bytes.size(), 4u);
  EXPECT_EQ(length.number, 4u);
  EXPECT_FALSE(r.KeyExists(kDecoder + L"\\Patterns\\7")) << "seven signatures";
  EXPECT_EQ(r.Text(kThumbnails + L"\\InprocServer32"), kPath);
  for (const wchar_t* e : {L"px", L"lfb", L"lff", L"lcf", L"cz2"}) {
    EXPECT_EQ(r.Text(std::wstring(L"Classes\\.") + e, L"PerceivedType"), L"image") << e;
    EXPECT_EQ(r.Text(std::wstring(L"Classes\\SystemFileAssociations\\.") + e + kHandler), GuidText(kThumbnailClass)) << e;
  }
  // Other programs' values stay theirs; tga and bbm are not taken.
  EXPECT_EQ(r.Text(L"Classes\\.lgf", L"PerceivedType"), L"text");
  EXPECT_EQ(r.Text(L"Classes\\SystemFileAssociations\\.cz1" + kHandler), L"{11111111-0000-0000-0000-000000000000}");
  EXPECT_FALSE(r.KeyExists(L"Classes\\.tga"));
  EXPECT_FALSE(r.KeyExists(L"Classes\\SystemFileAssociations\\.bbm"));
}

TEST(Registration, UnregisteringLeavesTheRegistryAsItWas) {
  for (const bool user : {false, true}) {
    MemoryRegistry r = user ? MemoryRegistry() : Machine();
    const auto before = r.Snapshot();
    InstallOptions options;
    ASSERT_TRUE(ParseInstallOptions(user ? L"user,tga bbm" : L"", &options));
    ASSERT_EQ(Register(r, kPath, options), kRegistryOk);
    EXPECT_EQ(r.Text(L"Classes\\.tga", L"PerceivedType"), user ? L"image" : L"(none)");
    // Registering again, and again with fewer extensions, changes nothing
    // that unregistering would then miss.
    ASSERT_EQ(Register(r, kPath, options), kRegistryOk);
    ASSERT_EQ(Register(r, kPath, InstallOptions()), kRegistryOk);
    EXPECT_EQ(r.Text(L"Classes\\SystemFileAssociations\\.bbm" + kHandler), user ? GuidText(kThumbnailClass) : L"(none)");
    ASSERT_EQ(Unregister(r), kRegistryOk);
    EXPECT_TRUE(r.Snapshot() == before) << (user ? "user" : "machine");
    EXPECT_EQ(Unregister(r), kRegistryOk) << "nothing left to remove is no failure";
  }
}

TEST(Registration, AValueChangedSinceIsLeftToItsNewOwner) {
  MemoryRegistry r;
  ASSERT_EQ(Register(r, kPath, InstallOptions()), kRegistryOk);
  r.values[L"Classes\\.px"][L"PerceivedType"].text = L"document";
  ASSERT_EQ(Unregister(r), kRegistryOk);
  EXPECT_EQ(r.Text(L"Classes\\.px", L"PerceivedType"), L"document");
  EXPECT_FALSE(r.KeyExists(L"Classes\\.lfb"));
  EXPECT_FALSE(r.KeyExists(kDecoder));
}

TEST(Registration, AFailureHalfWayTakesBackWhatWasWritten) {
  MemoryRegistry counting = Machine();
  ASSERT_EQ(Register(counting, kPath, InstallOptions()), kRegistryOk);
  for (int refused : {1, 2, 10, counting.changes / 2, counting.changes}) {
    MemoryRegistry r = Machine();
    const auto before = r.Snapshot();
    r.refuseChange = refused;
    EXPECT_EQ(Register(r, kPath, InstallOptions()), 5) << refused;
    EXPECT_TRUE(r.Snapshot() == before) << refused;
  }
  // Without rights nothing is written or removed, and that is reported.
  MemoryRegistry r = Machine();
  const auto before = r.Snapshot();
  r.refuseAll = true;
  EXPECT_EQ(Register(r, kPath, InstallOptions()), 5);
  EXPECT_TRUE(r.Snapshot() == before);
  r.refuseAll = false;
  ASSERT_EQ(Register(r, kPath, InstallOptions()), kRegistryOk);
  r.refuseAll = true;
  EXPECT_EQ(Unregister(r), 5);
}

TEST(Registration, InstallWords) {
  InstallOptions o;
  ASSERT_TRUE(ParseInstallOptions(L"", &o));
  EXPECT_EQ(o.scope, RegistryScope::Machine);
  EXPECT_FALSE(o.tga || o.bbm);
  ASSERT_TRUE(ParseInstallOptions(L" USER , Tga", &o));
  EXPECT_EQ(o.scope, RegistryScope::User);
  EXPECT_TRUE(o.tga);
  EXPECT_FALSE(o.bbm);
  ASSERT_TRUE(ParseInstallOptions(L"bbm machine", &o));
  EXPECT_EQ(o.scope, RegistryScope::Machine);
  EXPECT_TRUE(o.bbm);
  EXPECT_FALSE(ParseInstallOptions(L"user png", &o));
  EXPECT_FALSE(ParseInstallOptions(L"users", &o));
  EXPECT_EQ(ThumbnailExtensions(InstallOptions()).size(), 7u);
}

TEST(Registration, GuidText) {
  EXPECT_EQ(GuidText(kWicDecoderCategory), L"{7ED96837-96F0-4812-B211-F13C24117ED3}");
  EXPECT_EQ(GuidText(kThumbnailHandlerKey), L"{E357FCCD-A995-4576-B01F-234630154E96}");
}

}  // namespace
