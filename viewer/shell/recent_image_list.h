// A most-recently-used list of image paths (UTF-8), shown as the items of
// its own submenu and kept in one section of the settings file. The frame
// holds two: recent foregrounds and recent backgrounds.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "viewer/resources/resource.h"
#include "viewer/shell/profile_section.h"

// The submenu a list is shown in.
class RecentMenu {
 public:
  virtual ~RecentMenu() = default;
  // The position of the first item carrying the identifier; the item count
  // when no item does.
  virtual int PositionOf(unsigned id) = 0;
  virtual void DeleteById(unsigned id) = 0;
  virtual void DeleteAt(int position) = 0;
  // Inserts a text item before the item at the position (at the end when the
  // position is past the last item).
  virtual void InsertText(int position, unsigned id, const std::string& text) = 0;
  virtual void Grey(unsigned id) = 0;
  // The text of the item carrying the identifier; nothing when no item does.
  virtual std::optional<std::string> TextOf(unsigned id) = 0;
};

// Reads the settings file.
class SettingsReader {
 public:
  virtual ~SettingsReader() = default;
  // The key's value as a number; `fallback` when the key is absent.
  virtual int ReadInt(const std::string& file, const std::string& section, const std::string& key, int fallback) = 0;
  // The key's whole value; empty when the key is absent.
  virtual std::string ReadString(const std::string& file, const std::string& section, const std::string& key) = 0;
  // Every key of the section with its value, in the file's order; spaces
  // around the '=' do not count. Empty when the section is absent.
  virtual std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& file,
                                                                       const std::string& section) = 0;
};

// Whether two paths name the same file as the file system sees them: it
// ignores letter case, full-width and other cased letters included.
using SamePath = std::function<bool(const std::string& a, const std::string& b)>;

inline constexpr char kRecentForegroundSection[] = "RecentFgImage";
inline constexpr char kRecentBackgroundSection[] = "RecentBgImage";

class RecentImageList {
 public:
  // The longest path an entry holds: a Windows path buffer less its zero,
  // in UTF-16 units.
  static constexpr size_t kMaxPathLength = 259;

  // The list's items carry the identifiers firstId to lastId, which also
  // bound its capacity. `samePath` finds the entry a new path replaces;
  // without one, paths that differ only in the case of ASCII letters match.
  RecentImageList(unsigned firstId, unsigned lastId, SamePath samePath = {});
  static RecentImageList Foregrounds(SamePath samePath = {}) {
    return {ID_RECENT_FOREGROUND_FIRST, ID_RECENT_FOREGROUND_LAST, std::move(samePath)};
  }
  static RecentImageList Backgrounds(SamePath samePath = {}) {
    return {ID_RECENT_BACKGROUND_FIRST, ID_RECENT_BACKGROUND_LAST, std::move(samePath)};
  }

  // Shows the list in this submenu from the next change on. The text of its
  // item with the first identifier becomes the text shown for an empty list.
  void BindMenu(std::unique_ptr<RecentMenu> menu);
  // Clamped to 2 and the number of identifiers.
  void SetCapacity(int capacity);
  int capacity() const { return capacity_; }
  size_t size() const { return entries_.size(); }

  // Replaces the entries with those of the section and rebuilds the submenu;
  // false, with nothing changed, when the section gives no DocumentCount.
  bool LoadFromSettings(SettingsReader& reader, const std::string& file, const std::string& section);
  // Writes the capacity and the entries as the section's whole content:
  // "Document<k>" with the path as it is where the file holds it (see
  // SectionWriter::Holds); otherwise "Document<k>.utf8" with the path's
  // UTF-8 bytes, each byte outside printable ASCII (and '%') as %XX. A
  // reader that knows only the first kind skips the second, as it skips
  // any gap in the numbering.
  bool SaveToSettings(SectionWriter& writer, const std::string& file, const std::string& section) const;

  // Makes the path the most recent entry; a path that names the same file
  // as an entry replaces that entry. False, with nothing changed, for a path
  // longer than an entry holds.
  bool Add(const std::string& path);
  // The path shown with this identifier.
  std::optional<std::string> Get(unsigned id) const;
  // True when the identifier's entry was removed.
  bool Remove(unsigned id);
  // True when the identifier's entry became the most recent one.
  bool Promote(unsigned id);
  // Shows the entries in the submenu, most recent first ("&1 path"), or one
  // greyed item when there are none; false when no submenu is bound.
  bool RebuildMenu();

 private:
  std::optional<size_t> IndexOf(unsigned id) const;
  const std::string& MostRecent(size_t k) const { return entries_[entries_.size() - 1 - k]; }
  void ShowEmpty(int position);
  void ShowEntries(int position);

  unsigned firstId_;
  SamePath samePath_;
  int maxCapacity_;
  int capacity_ = 4;
  // Oldest first, the most recent last.
  std::vector<std::string> entries_;
  std::unique_ptr<RecentMenu> menu_;
  std::string emptyText_ = "(empty)";
};
