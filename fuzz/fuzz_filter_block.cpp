// The open dialog's filter block built from what plug-ins answer. Each
// stand-in plug-in answers its information texts from the input, as a
// careless plug-in might: texts without their zero, zeros inside them,
// any count returned. Whatever they say, the block must be a filter list
// the dialog can read: zero-ended strings in pairs, one more zero at its
// end and nowhere before; and a plug-in loaded only to be asked is let go.
//
// Input: a byte for the number of plug-ins; per plug-in a type byte and a
// byte for the number of texts; per text a length byte, the count it
// returns, then that many bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "viewer/shell/filter_block.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  std::string Bytes(size_t count) {
    count = count < size ? count : size;
    std::string bytes(reinterpret_cast<const char*>(data), count);
    data += count;
    size -= count;
    return bytes;
  }
};

struct Text {
  std::string bytes;
  int answer;
};

struct StandIn {
  uint32_t type;
  bool loadFails;
  bool loaded = false;
  std::vector<Text> texts;  // by information number
};

class StandInList final : public FilterPluginList {
 public:
  std::vector<StandIn> plugins;
  size_t Count() const override { return plugins.size(); }
  bool IsLoaded(size_t i) const override { return plugins[i].loaded; }
  uint32_t Load(size_t i) override {
    plugins[i].loaded = true;
    return plugins[i].loadFails ? 0 : plugins[i].type;
  }
  // Asked of loaded plug-ins only.
  uint32_t Type(size_t i) override {
    if (!plugins[i].loaded) __builtin_trap();
    return plugins[i].type;
  }
  // Writes no more than the buffer holds, and not always a zero.
  int GetInfo(size_t i, int number, char* buffer, int length) override {
    if (!plugins[i].loaded) __builtin_trap();
    const std::vector<Text>& texts = plugins[i].texts;
    if (number < 0 || static_cast<size_t>(number) >= texts.size() || length <= 0) return 0;
    const Text& text = texts[static_cast<size_t>(number)];
    std::memcpy(buffer, text.bytes.data(), std::min(text.bytes.size(), static_cast<size_t>(length)));
    return text.answer;
  }
  void Unload(size_t i) override { plugins[i].loaded = false; }
};

const FilterNames kNames{"All files", "All Images"};
const uint32_t kTypes[] = {kImagePluginType, kArchivePluginType, 0, 0x12345678};

// Strings up to the first empty one; it must be the block's last byte, and
// the strings before it must come in pairs.
void CheckFilterList(const std::string& block) {
  size_t strings = 0, at = 0;
  while (at < block.size() && block[at] != '\0') {
    at += std::strlen(block.c_str() + at) + 1;
    ++strings;
  }
  if (at + 1 != block.size() || strings % 2 != 0 || strings < 2) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  StandInList list;
  const size_t count = in.Byte() % 6;
  for (size_t p = 0; p < count; ++p) {
    const uint8_t kind = in.Byte();
    StandIn plugin{kTypes[kind % 4], (kind & 0x80) != 0, (kind & 0x40) != 0, {}};
    const size_t texts = in.Byte() % 12;
    for (size_t t = 0; t < texts; ++t) {
      const size_t length = in.Byte() % 80;
      const int answer = static_cast<int8_t>(in.Byte());
      plugin.texts.push_back({in.Bytes(length), answer});
    }
    list.plugins.push_back(plugin);
  }
  std::vector<bool> wasLoaded;
  for (const StandIn& plugin : list.plugins) wasLoaded.push_back(plugin.loaded);
  for (unsigned options : {kOpenDialogFilterOptions, kFilterImagePlugins, kFilterImagePlugins | kFilterEachType}) {
    if (const std::optional<std::string> block = BuildFilterBlock(list, options, kNames)) CheckFilterList(*block);
  }
  const OpenDialogFilter filter = MakeOpenDialogFilter(list, kNames);
  CheckFilterList(filter.block);
  // What was loaded only for the question is let go again.
  for (size_t p = 0; p < count; ++p) {
    if (list.plugins[p].loaded != wasLoaded[p]) __builtin_trap();
  }
  return 0;
}
