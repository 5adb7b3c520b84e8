// The settings file is written one whole section at a time: a ProfileSection
// gathers "key = value" lines and hands them over together, so that the
// section holds exactly those lines afterwards.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SectionWriter {
 public:
  virtual ~SectionWriter() = default;
  // Whether the file keeps the text exactly as it is. A file in the ANSI
  // code page cannot keep a character that code page lacks.
  virtual bool Holds(const std::string&) { return true; }
  // Replaces the whole content of the section with `lines`: lines each
  // followed by a zero character, and one more zero after the last.
  virtual bool WriteSection(const std::string& file, const std::string& section, std::string_view lines) = 0;
};

class ProfileSection {
 public:
  ProfileSection(SectionWriter& writer, std::string file, std::string section);
  // Flushes what is pending.
  ~ProfileSection();
  ProfileSection(const ProfileSection&) = delete;
  ProfileSection& operator=(const ProfileSection&) = delete;

  // Each adds one line ("%s = %d", "%s = %s"); false when there is no room
  // for it, and then the line is dropped.
  bool WriteInt(const std::string& key, int value);
  bool WriteString(const std::string& key, const std::string& value);
  // Flushes the pending lines to the current section, then switches.
  bool SetSection(std::string name);
  // Writes the pending lines as the section's whole content. With nothing
  // pending the file is not touched and the flush succeeds.
  bool Flush();

  // Characters the line buffer holds room for.
  size_t room() const { return lines_.size(); }

 private:
  bool MakeRoom(size_t lineSize);

  SectionWriter& writer_;
  std::string file_;
  std::string section_;
  std::vector<char> lines_;
  size_t pending_ = 0;
};
