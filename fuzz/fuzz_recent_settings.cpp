// The recent lists as a settings file brings them in: any text for the
// section (keys, counts, values of any length and bytes), then a run of
// the list's operations taken from the input, and the list saved. What is
// saved must load back to the same entries, and the menu must show them;
// entries beyond ASCII go through the escaped UTF-8 keys. The same text as
// the Settings section: the language it names, or the system's, is chosen,
// and the section saved with the choice loads back with every key as it
// was; a zoom it names is a step or fitting, and set again it reads the
// same.
//
// Input: the section's lines up to the first zero byte, then up to 64
// operations, two bytes each (what, and which entry).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "viewer/shell/language.h"
#include "viewer/shell/recent_image_list.h"
#include "viewer/shell/settings_section.h"
#include "viewer/shell/zoom_model.h"

namespace {

// One section of "key=value" lines, read as a private-profile file reads
// them: blanks around the key and the value do not count, the first line
// of a key wins.
class Section final : public SettingsReader, public SectionWriter {
 public:
  void SetLines(const std::vector<std::string>& lines) {
    values_.clear();
    ordered_.clear();
    for (const std::string& line : lines) {
      const size_t equals = line.find('=');
      if (equals == std::string::npos) continue;
      values_.emplace(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
      ordered_.emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
  }

  int ReadInt(const std::string&, const std::string&, const std::string& key, int fallback) override {
    const auto value = values_.find(key);
    return value != values_.end() ? std::atoi(value->second.c_str()) : fallback;
  }
  std::string ReadString(const std::string&, const std::string&, const std::string& key) override {
    const auto value = values_.find(key);
    return value != values_.end() ? value->second : std::string();
  }
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string&, const std::string&) override {
    return ordered_;
  }
  // As a file in a code page without the characters beyond ASCII: such
  // entries go through the escaped UTF-8 keys.
  bool Holds(const std::string& text) override {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  }
  bool WriteSection(const std::string&, const std::string&, std::string_view block) override {
    // Zero-ended lines and one more zero: anything else is a broken block.
    if (block.empty() || block.back() != '\0') __builtin_trap();
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < block.size() && block[at] != '\0') {
      const size_t end = block.find('\0', at);
      if (end == std::string_view::npos) __builtin_trap();
      lines.emplace_back(block.substr(at, end - at));
      at = end + 1;
    }
    if (at + 1 != block.size()) __builtin_trap();
    SetLines(lines);
    return true;
  }

 private:
  static std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t");
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t") - first + 1);
  }
  std::map<std::string, std::string> values_;
  std::vector<std::pair<std::string, std::string>> ordered_;
};

// The submenu as a list of texts by position; identifiers are kept.
class Menu final : public RecentMenu {
 public:
  struct Item {
    unsigned id;
    std::string text;
  };
  std::vector<Item> items{{0, "(Empty)"}};
  int PositionOf(unsigned id) override {
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].id == id) return static_cast<int>(i);
    return static_cast<int>(items.size());
  }
  void DeleteById(unsigned id) override { DeleteAt(PositionOf(id)); }
  void DeleteAt(int position) override {
    if (position >= 0 && static_cast<size_t>(position) < items.size()) items.erase(items.begin() + position);
  }
  void InsertText(int position, unsigned id, const std::string& text) override {
    const size_t at = std::min(static_cast<size_t>(position), items.size());
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), Item{id, text});
  }
  void Grey(unsigned) override {}
  std::optional<std::string> TextOf(unsigned id) override {
    const int at = PositionOf(id);
    if (static_cast<size_t>(at) == items.size()) return std::nullopt;
    return items[static_cast<size_t>(at)].text;
  }
};

// A piece of the text as a path can be: one line, without blanks at its
// ends (a file name cannot end in one, and the settings file drops them).
std::string PathFrom(std::string piece) {
  piece = piece.substr(0, piece.find_first_of("\r\n"));
  const size_t first = piece.find_first_not_of(" \t");
  if (first == std::string::npos) return "x";
  return piece.substr(first, piece.find_last_not_of(" \t") - first + 1);
}

constexpr int kMostOperations = 64;

// The entries by identifier, first to last.
std::vector<std::string> Entries(const RecentImageList& list, unsigned first, unsigned last) {
  std::vector<std::string> entries;
  for (unsigned id = first; id <= last; ++id)
    if (const std::optional<std::string> path = list.Get(id)) entries.push_back(*path);
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  const size_t textSize = zero ? static_cast<size_t>(zero - data) : size;
  const std::string text(reinterpret_cast<const char*>(data), textSize);
  std::vector<std::string> lines;
  for (size_t at = 0; at <= text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  Section section;
  section.SetLines(lines);

  const bool foregrounds = textSize % 2 == 0;
  RecentImageList list = foregrounds ? RecentImageList::Foregrounds() : RecentImageList::Backgrounds();
  const unsigned first = foregrounds ? ID_RECENT_FOREGROUND_FIRST : ID_RECENT_BACKGROUND_FIRST;
  const unsigned last = foregrounds ? ID_RECENT_FOREGROUND_LAST : ID_RECENT_BACKGROUND_LAST;
  auto owned = std::make_unique<Menu>();
  Menu& menu = *owned;
  menu.items[0].id = first;
  list.BindMenu(std::move(owned));
  list.SetCapacity(8);
  list.LoadFromSettings(section, "settings.ini", "Recent");

  // A run of operations as long as a session's: a few dozen.
  const uint8_t* op = zero ? zero + 1 : data + size;
  for (int count = 0; op + 1 < data + size && count < kMostOperations; op += 2, ++count) {
    const unsigned id = first + op[1] % (last - first + 3);  // two past the list's own
    switch (op[0] % 4) {
      case 0:
        list.Add(PathFrom(text.substr(op[1] % (text.size() + 1), op[0])));
        break;
      case 1:
        list.Remove(id);
        break;
      case 2:
        list.Promote(id);
        break;
      default:
        list.Get(id);
    }
  }
  // The menu shows each entry, the most recent first, or one item.
  const std::vector<std::string> entries = Entries(list, first, last);
  if (menu.items.size() != std::max<size_t>(entries.size(), 1)) __builtin_trap();
  for (size_t k = 0; k < entries.size(); ++k)
    if (menu.items[k].text != "&" + std::to_string(k + 1) + " " + entries[k]) __builtin_trap();

  list.SaveToSettings(section, "settings.ini", "Recent");
  RecentImageList reloaded = foregrounds ? RecentImageList::Foregrounds() : RecentImageList::Backgrounds();
  reloaded.LoadFromSettings(section, "settings.ini", "Recent");
  if (Entries(reloaded, first, last) != entries || reloaded.capacity() != list.capacity()) __builtin_trap();

  section.SetLines(lines);
  SettingsSection settings;
  settings.Load(section, "settings.ini");
  const uint16_t interfaceLanguage = size >= 2 ? static_cast<uint16_t>(data[size - 2] | data[size - 1] << 8) : 0;
  const Language shown = ChooseLanguage(interfaceLanguage, settings.Get(kLanguageKey).value_or(""));
  settings.Set(kLanguageKey, LanguageValue(shown));
  const std::optional<ZoomChoice> zoom = ParseZoomSetting(settings.Get(kZoomKey).value_or(""));
  ZoomModel model;
  if (zoom && zoom->fit) model.SetFit({1920, 1080}, {640, 480});
  if (zoom && !zoom->fit && !model.SetPercent(zoom->percent)) __builtin_trap();
  if (zoom) settings.Set(kZoomKey, ZoomSettingText(model));
  settings.Save(section, "settings.ini");
  SettingsSection again;
  again.Load(section, "settings.ini");
  if (ParseLanguage(again.Get(kLanguageKey).value_or("")) != shown) __builtin_trap();
  const std::optional<ZoomChoice> zoomAgain = ParseZoomSetting(again.Get(kZoomKey).value_or(""));
  if (zoom.has_value() != zoomAgain.has_value()) __builtin_trap();
  if (zoom && (zoomAgain->fit != zoom->fit || (!zoom->fit && zoomAgain->percent != zoom->percent))) __builtin_trap();
  for (const auto& [key, value] : section.ReadSection("settings.ini", kSettingsSection))
    if (again.Get(key) != settings.Get(key)) __builtin_trap();
  return 0;
}
