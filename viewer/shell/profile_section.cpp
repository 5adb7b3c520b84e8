#include "viewer/shell/profile_section.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>

namespace {

constexpr size_t kInitialRoom = 1024;
constexpr size_t kMinimumGrowth = 1024;
// A line ends in its zero; the section needs a second zero after the last.
constexpr size_t kSpare = 2;
// The decimal text of any 32-bit value, " = " and the zero fit in this.
constexpr size_t kIntLineExtra = 16;

}  // namespace

ProfileSection::ProfileSection(SectionWriter& writer, std::string file, std::string section)
    : writer_(writer), file_(std::move(file)), section_(std::move(section)), lines_(kInitialRoom) {}

ProfileSection::~ProfileSection() { Flush(); }

bool ProfileSection::MakeRoom(size_t lineSize) {
  if (pending_ + lineSize + kSpare < lines_.size()) return true;
  try {
    lines_.resize(lines_.size() + std::max(kMinimumGrowth, lineSize));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool ProfileSection::WriteInt(const std::string& key, int value) {
  if (!MakeRoom(key.size() + kIntLineExtra)) return false;
  const int written = std::snprintf(lines_.data() + pending_, lines_.size() - pending_, "%s = %d", key.c_str(), value);
  pending_ += static_cast<size_t>(written) + 1;
  return true;
}

bool ProfileSection::WriteString(const std::string& key, const std::string& value) {
  // The key, " = ", the value and the line's zero.
  if (!MakeRoom(key.size() + value.size() + 4)) return false;
  const int written =
      std::snprintf(lines_.data() + pending_, lines_.size() - pending_, "%s = %s", key.c_str(), value.c_str());
  pending_ += static_cast<size_t>(written) + 1;
  return true;
}

bool ProfileSection::SetSection(std::string name) {
  const bool flushed = Flush();
  section_ = std::move(name);
  return flushed;
}

bool ProfileSection::Flush() {
  if (pending_ == 0) return true;
  lines_[pending_] = '\0';
  const bool written = writer_.WriteSection(file_, section_, std::string_view(lines_.data(), pending_ + 1));
  pending_ = 0;
  return written;
}
