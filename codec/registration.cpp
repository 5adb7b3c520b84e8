#include "codec/registration.h"

#include <algorithm>
#include <cwctype>
#include <map>

#include "codec/codec_ids.h"

namespace {

const wchar_t kFriendlyName[] = L"Mornel Leaf Picture Decoder";
const wchar_t kThumbnailName[] = L"Mornel Leaf Picture Thumbnails";
const wchar_t kLedgerName[] = L"Mornel Registration";
const wchar_t* const kDefaultThumbnails[] = {L"px", L"lfb", L"lff", L"lcf", L"lgf", L"cz1", L"cz2"};
const wchar_t* const kDecodedExtensions[] = {L"px", L"lfb", L"lff", L"lcf", L"lgf", L"cz1", L"cz2", L"tga", L"bbm"};

// The signatures of the formats that have one, as the decoder detects
// them: (position, bytes, mask). PX, TGA and BBM are known only by their
// header fields and relations between them, which no byte pattern says.
struct Signature {
  uint32_t position;
  std::vector<uint8_t> pattern;
  std::vector<uint8_t> mask;
};

std::vector<uint8_t> Text(const char* text, size_t length) { return std::vector<uint8_t>(text, text + length); }

std::vector<Signature> Signatures() {
  const auto all = [](size_t n) { return std::vector<uint8_t>(n, 0xFF); };
  return {
      {0, Text("LFB\0", 4), all(4)},
      {0, Text("LEAFFUL\0", 8), all(8)},
      {0, Text("LEAFCFL\0", 8), all(8)},
      {0, Text("lgf", 3), all(3)},
      {0, Text("cz10", 4), all(4)},
      // CZ2: byte 4 is 1, or bytes 5 to 7 repeat the name.
      {0, Text("cz20\1", 5), all(5)},
      {0, Text("cz20\0cz2", 8), {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF}},
  };
}

RegistryValue TextValue(const std::wstring& name, const std::wstring& text) {
  RegistryValue v;
  v.kind = ValueKind::Text;
  v.name = name;
  v.text = text;
  return v;
}

RegistryValue NumberValue(const std::wstring& name, uint32_t number) {
  RegistryValue v;
  v.kind = ValueKind::Number;
  v.name = name;
  v.number = number;
  return v;
}

RegistryValue BytesValue(const std::wstring& name, std::vector<uint8_t> bytes) {
  RegistryValue v;
  v.kind = ValueKind::Bytes;
  v.name = name;
  v.bytes = std::move(bytes);
  return v;
}

std::wstring Joined(const std::wstring& prefix, const std::wstring& suffix) {
  std::wstring all;
  for (const wchar_t* e : kDecodedExtensions) all += (all.empty() ? L"" : L",") + prefix + e + suffix;
  return all;
}

// Every key lies in the Classes key of the store's root (HKLM\Software or
// HKCU\Software), which a fresh user profile may not have yet.
std::wstring Classes(const std::wstring& key) { return L"Classes\\" + key; }
std::wstring DecoderKey() { return Classes(L"CLSID\\" + GuidText(kDecoderClass)); }
std::wstring LedgerKey() { return DecoderKey() + L"\\" + kLedgerName; }

bool Within(const std::wstring& key, const std::wstring& owned) {
  return key == owned || (key.size() > owned.size() && key.compare(0, owned.size(), owned) == 0 &&
                          key[owned.size()] == L'\\');
}

bool OwnedKey(const std::wstring& key) {
  for (const std::wstring& owned : OwnedKeys())
    if (Within(key, owned)) return true;
  return false;
}

// The ledger: "key:PATH" for a key we created, "value:PATH|NAME" for a
// value we wrote into a key that is not ours, with the text we wrote.
using Ledger = std::map<std::wstring, std::wstring>;

Ledger ReadLedger(RegistryStore& store) {
  Ledger ledger;
  std::vector<std::wstring> names;
  if (store.ValueNames(LedgerKey(), &names) != kRegistryOk) return ledger;
  for (const std::wstring& name : names) {
    RegistryValue value;
    if (store.Read(LedgerKey(), name, &value) == kRegistryOk && value.kind == ValueKind::Text) ledger[name] = value.text;
  }
  return ledger;
}

// Creates every missing key down to `key`, noting those outside our own.
long EnsureKey(RegistryStore& store, const std::wstring& key, Ledger* ledger) {
  size_t cut = 0;
  do {
    cut = key.find(L'\\', cut + 1);
    const std::wstring part = key.substr(0, cut);
    if (store.KeyExists(part)) continue;
    if (const long status = store.CreateKey(part)) return status;
    if (!OwnedKey(part)) (*ledger)[L"key:" + part] = L"";
  } while (cut != std::wstring::npos);
  return kRegistryOk;
}

long WriteEntry(RegistryStore& store, const RegistryEntry& entry, Ledger* ledger) {
  if (const long status = EnsureKey(store, entry.key, ledger)) return status;
  if (entry.value.kind == ValueKind::KeyOnly) return kRegistryOk;
  if (entry.shared) {
    RegistryValue existing;
    const long found = store.Read(entry.key, entry.value.name, &existing);
    // Someone else's value, or ours already: left as it is.
    if (found != kRegistryNotFound) return kRegistryOk;
    (*ledger)[L"value:" + entry.key + L"|" + entry.value.name] = entry.value.text;
  }
  return store.Write(entry.key, entry.value);
}

// The ledger lies inside our own key, so making its key notes nothing.
long WriteLedger(RegistryStore& store, const Ledger& ledger) {
  Ledger none;
  if (const long status = EnsureKey(store, LedgerKey(), &none)) return status;
  for (const auto& [name, text] : ledger)
    if (const long status = store.Write(LedgerKey(), TextValue(name, text))) return status;
  return kRegistryOk;
}

long RemoveAll(RegistryStore& store, const Ledger& ledger) {
  long result = kRegistryOk;
  for (const std::wstring& key : OwnedKeys()) {
    const long status = store.DeleteTree(key);
    if (status != kRegistryOk && status != kRegistryNotFound) result = status;
  }
  std::vector<std::wstring> keys;
  for (const auto& [entry, text] : ledger) {
    if (entry.compare(0, 4, L"key:") == 0) {
      keys.push_back(entry.substr(4));
      continue;
    }
    const size_t bar = entry.rfind(L'|');
    if (entry.compare(0, 6, L"value:") != 0 || bar == std::wstring::npos) continue;
    const std::wstring key = entry.substr(6, bar - 6), name = entry.substr(bar + 1);
    RegistryValue value;
    if (store.Read(key, name, &value) == kRegistryOk && value.kind == ValueKind::Text && value.text == text) {
      const long status = store.DeleteValue(key, name);
      if (status != kRegistryOk && status != kRegistryNotFound) result = status;
    }
  }
  // Deepest first, so that a key's children go before it.
  std::sort(keys.begin(), keys.end(), [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
  for (const std::wstring& key : keys) store.DeleteIfEmpty(key);
  return result;
}

}  // namespace

bool ParseInstallOptions(const std::wstring& commandLine, InstallOptions* options) {
  InstallOptions parsed;
  std::wstring word;
  const auto take = [&]() {
    for (wchar_t& c : word) c = static_cast<wchar_t>(std::towlower(c));
    bool known = true;
    if (word == L"user") parsed.scope = RegistryScope::User;
    else if (word == L"machine") parsed.scope = RegistryScope::Machine;
    else if (word == L"tga") parsed.tga = true;
    else if (word == L"bbm") parsed.bbm = true;
    else known = word.empty();
    word.clear();
    return known;
  };
  for (wchar_t c : commandLine) {
    if (c == L' ' || c == L',' || c == L'\t') {
      if (!take()) return false;
    } else {
      word += c;
    }
  }
  if (!take()) return false;
  *options = parsed;
  return true;
}

std::vector<std::wstring> OwnedKeys() {
  return {DecoderKey(), Classes(L"CLSID\\" + GuidText(kThumbnailClass)),
          Classes(L"CLSID\\" + GuidText(kWicDecoderCategory) + L"\\Instance\\" + GuidText(kDecoderClass))};
}

std::vector<std::wstring> ThumbnailExtensions(const InstallOptions& options) {
  std::vector<std::wstring> extensions(std::begin(kDefaultThumbnails), std::end(kDefaultThumbnails));
  if (options.tga) extensions.push_back(L"tga");
  if (options.bbm) extensions.push_back(L"bbm");
  return extensions;
}

std::vector<RegistryEntry> RegistrationTable(const std::wstring& modulePath, const InstallOptions& options) {
  std::vector<RegistryEntry> table;
  const auto add = [&](const std::wstring& key, RegistryValue value, bool shared = false) {
    table.push_back(RegistryEntry{key, std::move(value), shared});
  };
  const std::wstring decoder = DecoderKey();
  add(decoder, TextValue(L"", kFriendlyName));
  add(decoder, TextValue(L"FriendlyName", kFriendlyName));
  add(decoder, TextValue(L"Author", L"The Mornel developers"));
  add(decoder, TextValue(L"Description", L"Leaf game pictures: px, lfb, lff, lcf, lgf, cz1, cz2, tga and bbm"));
  add(decoder, TextValue(L"Vendor", GuidText(kVendor)));
  add(decoder, TextValue(L"ContainerFormat", GuidText(kContainerFormat)));
  add(decoder, TextValue(L"Version", L"1.0.0.0"));
  add(decoder, TextValue(L"SpecVersion", L"1.0.0.0"));
  add(decoder, TextValue(L"FileExtensions", Joined(L".", L"")));
  add(decoder, TextValue(L"MimeTypes", Joined(L"image/x-leaf-", L"")));
  add(decoder, NumberValue(L"SupportAnimation", 0));
  add(decoder, NumberValue(L"SupportChromakey", 0));
  add(decoder, NumberValue(L"SupportLossless", 1));
  add(decoder, NumberValue(L"SupportMultiframe", 0));
  add(decoder + L"\\InprocServer32", TextValue(L"", modulePath));
  add(decoder + L"\\InprocServer32", TextValue(L"ThreadingModel", L"Both"));
  for (const CodecGuid* format :
       {&kPixelFormat32bppBGRA, &kPixelFormat24bppBGR, &kPixelFormat16bppBGR555, &kPixelFormat8bppIndexed})
    add(decoder + L"\\Formats\\" + GuidText(*format), RegistryValue());
  const std::vector<Signature> signatures = Signatures();
  for (size_t i = 0; i < signatures.size(); ++i) {
    const std::wstring key = decoder + L"\\Patterns\\" + std::to_wstring(i);
    add(key, NumberValue(L"Position", signatures[i].position));
    add(key, NumberValue(L"Length", static_cast<uint32_t>(signatures[i].pattern.size())));
    add(key, BytesValue(L"Pattern", signatures[i].pattern));
    add(key, BytesValue(L"Mask", signatures[i].mask));
    add(key, NumberValue(L"EndOfStream", 0));
  }
  const std::wstring instance = OwnedKeys()[2];
  add(instance, TextValue(L"CLSID", GuidText(kDecoderClass)));
  add(instance, TextValue(L"FriendlyName", kFriendlyName));

  const std::wstring thumbnails = OwnedKeys()[1];
  add(thumbnails, TextValue(L"", kThumbnailName));
  add(thumbnails + L"\\InprocServer32", TextValue(L"", modulePath));
  add(thumbnails + L"\\InprocServer32", TextValue(L"ThreadingModel", L"Both"));
  for (const std::wstring& extension : ThumbnailExtensions(options)) {
    add(Classes(L"." + extension), TextValue(L"PerceivedType", L"image"), true);
    add(Classes(L"SystemFileAssociations\\." + extension + L"\\ShellEx\\" + GuidText(kThumbnailHandlerKey)),
        TextValue(L"", GuidText(kThumbnailClass)), true);
  }
  return table;
}

long Register(RegistryStore& store, const std::wstring& modulePath, const InstallOptions& options) {
  // What an earlier registration noted stays noted.
  Ledger ledger = ReadLedger(store);
  long status = kRegistryOk;
  for (const std::wstring& key : OwnedKeys()) {
    status = store.DeleteTree(key);
    if (status != kRegistryOk && status != kRegistryNotFound) break;
    status = kRegistryOk;
  }
  if (status == kRegistryOk) {
    for (const RegistryEntry& entry : RegistrationTable(modulePath, options))
      if ((status = WriteEntry(store, entry, &ledger)) != kRegistryOk) break;
  }
  if (status == kRegistryOk) status = WriteLedger(store, ledger);
  if (status != kRegistryOk) RemoveAll(store, ledger);
  return status;
}

long Unregister(RegistryStore& store) { return RemoveAll(store, ReadLedger(store)); }
