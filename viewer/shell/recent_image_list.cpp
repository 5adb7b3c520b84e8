#include "viewer/shell/recent_image_list.h"

#include <algorithm>
#include <cstdint>

#include "viewer/engine/path_text.h"

namespace {

constexpr int kMinCapacity = 2;

std::string DocumentKey(size_t k) { return "Document" + std::to_string(k); }
// The key of an entry the settings file cannot hold as it is.
std::string Utf8DocumentKey(size_t k) { return DocumentKey(k) + ".utf8"; }

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Printable ASCII but '%' stays; every other byte becomes %XX, so the value
// is ASCII, which every code page holds.
std::string EscapeUtf8(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F && byte != '%') {
      escaped += c;
    } else {
      escaped += '%';
      escaped += kHexDigits[byte >> 4];
      escaped += kHexDigits[byte & 0xF];
    }
  }
  return escaped;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A '%' not followed by two hex digits stands for itself.
std::string UnescapeUtf8(const std::string& escaped) {
  std::string text;
  for (size_t i = 0; i < escaped.size(); ++i) {
    const int high = escaped[i] == '%' && i + 2 < escaped.size() ? HexValue(escaped[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(escaped[i + 2]) : -1;
    if (low < 0) {
      text += escaped[i];
      continue;
    }
    text += static_cast<char>(high << 4 | low);
    i += 2;
  }
  return text;
}

}  // namespace

RecentImageList::RecentImageList(unsigned firstId, unsigned lastId, SamePath samePath)
    : firstId_(firstId),
      samePath_(samePath ? std::move(samePath) : SamePath(EqualIgnoringAsciiCase)),
      maxCapacity_(static_cast<int>(lastId - firstId + 1)) {}

void RecentImageList::BindMenu(std::unique_ptr<RecentMenu> menu) {
  menu_ = std::move(menu);
  std::optional<std::string> text = menu_ ? menu_->TextOf(firstId_) : std::nullopt;
  emptyText_ = text ? *text : "(empty)";
}

void RecentImageList::SetCapacity(int capacity) { capacity_ = std::clamp(capacity, kMinCapacity, maxCapacity_); }

bool RecentImageList::LoadFromSettings(SettingsReader& reader, const std::string& file, const std::string& section) {
  const int count = reader.ReadInt(file, section, "DocumentCount", 0);
  if (count == 0) return false;
  SetCapacity(count);
  entries_.clear();
  // Document1 is read last and so becomes the most recent entry again. An
  // entry kept in UTF-8 names its file exactly; the plain key may hold a
  // short name an earlier release stored for it.
  for (int k = capacity_; k >= 1; --k) {
    std::string path = UnescapeUtf8(reader.ReadString(file, section, Utf8DocumentKey(k)));
    if (path.empty()) path = reader.ReadString(file, section, DocumentKey(k));
    // A value longer than an entry holds cannot come from Add; cut short,
    // it would name a different file, so it is left out.
    if (!path.empty() && Utf16Length(path) <= kMaxPathLength) entries_.push_back(std::move(path));
  }
  return RebuildMenu();
}

// Nothing here asks the file system about a path: a stored path is never
// a short name, which goes stale and can come to name another file.
bool RecentImageList::SaveToSettings(SectionWriter& writer, const std::string& file, const std::string& section) const {
  ProfileSection lines(writer, file, section);
  lines.WriteInt("DocumentCount", capacity_);
  for (size_t k = entries_.size(); k >= 1; --k) {
    const std::string& path = MostRecent(k - 1);
    if (writer.Holds(path))
      lines.WriteString(DocumentKey(k), path);
    else
      lines.WriteString(Utf8DocumentKey(k), EscapeUtf8(path));
  }
  // Profile errors are not reported: the lines are flushed as `lines` goes.
  return true;
}

bool RecentImageList::Add(const std::string& path) {
  // An entry holds 259 characters. A longer path cut to that length would
  // name another file, which a later pick would open, so it is refused.
  if (Utf16Length(path) > kMaxPathLength) return false;
  const auto same = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const std::string& entry) { return samePath_(entry, path); });
  if (same != entries_.end()) entries_.erase(same);
  if (entries_.size() >= static_cast<size_t>(capacity_)) entries_.erase(entries_.begin());
  entries_.push_back(path);
  RebuildMenu();
  return true;
}

std::optional<size_t> RecentImageList::IndexOf(unsigned id) const {
  // Identifier first + k shows the k-th most recent entry.
  const int64_t k = static_cast<int64_t>(id) - firstId_;
  const int64_t index = static_cast<int64_t>(entries_.size()) - k - 1;
  if (index < 0 || index >= static_cast<int64_t>(entries_.size())) return std::nullopt;
  return static_cast<size_t>(index);
}

std::optional<std::string> RecentImageList::Get(unsigned id) const {
  const std::optional<size_t> index = IndexOf(id);
  if (!index) return std::nullopt;
  return entries_[*index];
}

bool RecentImageList::Remove(unsigned id) {
  const std::optional<size_t> index = IndexOf(id);
  if (!index) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*index));
  RebuildMenu();
  return true;
}

bool RecentImageList::Promote(unsigned id) {
  const std::optional<size_t> index = IndexOf(id);
  if (!index) return false;
  std::string path = std::move(entries_[*index]);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*index));
  entries_.push_back(std::move(path));
  RebuildMenu();
  return true;
}

bool RecentImageList::RebuildMenu() {
  if (!menu_) return false;
  // The new items go where the item with the first identifier stands; that
  // item stays until they are in, so the place is kept.
  const int position = menu_->PositionOf(firstId_);
  // Every identifier of the list, not only those up to the capacity: after
  // a load lowered the capacity, items beyond it would otherwise stay.
  for (int k = 1; k < maxCapacity_; ++k) menu_->DeleteById(firstId_ + static_cast<unsigned>(k));
  if (entries_.empty()) {
    ShowEmpty(position);
    menu_->DeleteAt(position + 1);
  } else {
    ShowEntries(position);
    menu_->DeleteAt(position + static_cast<int>(entries_.size()));
  }
  return true;
}

void RecentImageList::ShowEmpty(int position) {
  menu_->InsertText(position, firstId_, emptyText_);
  menu_->Grey(firstId_);
}

void RecentImageList::ShowEntries(int position) {
  for (size_t k = 0; k < entries_.size(); ++k) {
    const std::string text = "&" + std::to_string(k + 1) + " " + MostRecent(k);
    menu_->InsertText(position + static_cast<int>(k), firstId_ + static_cast<unsigned>(k), text);
  }
}
