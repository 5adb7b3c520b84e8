// Stand-ins for the menu, the settings file and the plug-ins, with the
// behaviour of their Windows counterparts that the shell relies on.
#pragma once

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "viewer/shell/filter_block.h"
#include "viewer/shell/recent_image_list.h"

struct MenuItem {
  unsigned id;
  std::string text;
  bool greyed;
  bool operator==(const MenuItem& o) const { return id == o.id && text == o.text && greyed == o.greyed; }
};

// Works on items the test keeps, so that they can be looked at after the
// list has taken the menu. Like a Windows menu, an identifier operation acts
// on the first item carrying it, and an insertion past the end appends.
class FakeMenu final : public RecentMenu {
 public:
  explicit FakeMenu(std::vector<MenuItem>& items) : items_(items) {}
  int PositionOf(unsigned id) override { return static_cast<int>(Find(id) - items_.begin()); }
  void DeleteById(unsigned id) override {
    if (Find(id) != items_.end()) items_.erase(Find(id));
  }
  void DeleteAt(int position) override {
    if (position >= 0 && position < static_cast<int>(items_.size())) items_.erase(items_.begin() + position);
  }
  void InsertText(int position, unsigned id, const std::string& text) override {
    items_.insert(items_.begin() + std::min<size_t>(static_cast<size_t>(position), items_.size()), {id, text, false});
  }
  void Grey(unsigned id) override {
    if (Find(id) != items_.end()) Find(id)->greyed = true;
  }
  std::optional<std::string> TextOf(unsigned id) override {
    if (Find(id) == items_.end()) return std::nullopt;
    return Find(id)->text;
  }

 private:
  std::vector<MenuItem>::iterator Find(unsigned id) {
    auto it = items_.begin();
    while (it != items_.end() && it->id != id) ++it;
    return it;
  }
  std::vector<MenuItem>& items_;
};

// Sections of "key = value" lines; keys are read as a private-profile file
// reads them: spaces around the '=' do not count.
class FakeProfile final : public SettingsReader, public SectionWriter {
 public:
  using Lines = std::vector<std::string>;
  std::map<std::pair<std::string, std::string>, Lines> sections;
  std::vector<std::string> writes;  // each whole block handed over, zeros included

  Lines& Section(const std::string& file, const std::string& section) { return sections[{file, section}]; }

  int ReadInt(const std::string& file, const std::string& section, const std::string& key, int fallback) override {
    std::optional<std::string> value = Value(file, section, key);
    return value ? std::atoi(value->c_str()) : fallback;
  }
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key) override {
    return Value(file, section, key).value_or("");
  }
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& file,
                                                               const std::string& section) override {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& line : sections[{file, section}]) {
      const size_t equals = line.find('=');
      if (equals != std::string::npos) entries.emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
    return entries;
  }
  bool WriteSection(const std::string& file, const std::string& section, std::string_view lines) override {
    writes.emplace_back(lines);
    Lines& stored = sections[{file, section}];
    stored.clear();
    for (const char* line = lines.data(); *line; line += std::strlen(line) + 1) stored.emplace_back(line);
    return true;
  }

 private:
  static std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
  }
  std::optional<std::string> Value(const std::string& file, const std::string& section, const std::string& key) {
    for (const std::string& line : sections[{file, section}]) {
      const size_t equals = line.find('=');
      if (equals != std::string::npos && Trim(line.substr(0, equals)) == key) return Trim(line.substr(equals + 1));
    }
    return std::nullopt;
  }
};

struct FakePlugin {
  uint32_t type = kImagePluginType;
  // Information texts by number; a number without text is answered with 0.
  std::map<int, std::string> info;
  bool loaded = false;
  bool loadFails = false;
  bool answersEverything = false;  // gives its first pattern for any number
  bool fillsBuffer = false;        // writes a whole buffer of 'x' and no zero
  bool claimsWholeBuffer = false;  // answers the buffer's length, whatever it wrote
  int loads = 0;
  int unloads = 0;
};

class FakePluginList final : public FilterPluginList {
 public:
  std::vector<FakePlugin> plugins;

  size_t Count() const override { return plugins.size(); }
  bool IsLoaded(size_t i) const override { return plugins[i].loaded; }
  uint32_t Load(size_t i) override {
    ++plugins[i].loads;
    // A failing load may still leave the library loaded.
    plugins[i].loaded = true;
    return plugins[i].loadFails ? 0 : plugins[i].type;
  }
  uint32_t Type(size_t i) override { return plugins[i].type; }
  int GetInfo(size_t i, int number, char* buffer, int length) override {
    const FakePlugin& p = plugins[i];
    if (p.fillsBuffer && number <= 3) {
      std::memset(buffer, 'x', static_cast<size_t>(length));
      return length;
    }
    auto text = p.info.find(p.answersEverything ? 2 : number);
    if (text == p.info.end()) return 0;
    // As lstrcpynA: cut to the buffer, always with a zero.
    const size_t n = std::min(text->second.size(), static_cast<size_t>(length - 1));
    std::memcpy(buffer, text->second.data(), n);
    buffer[n] = '\0';
    return p.claimsWholeBuffer ? length : static_cast<int>(n);
  }
  void Unload(size_t i) override {
    ++plugins[i].unloads;
    plugins[i].loaded = false;
  }
};
