#include "tools/spiconv/report.h"

#include <cstdio>

namespace {

constexpr size_t kNameColumn = 24;

bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// Characters of a UTF-8 text.
size_t Characters(const std::string& text) {
  size_t count = 0;
  for (const char byte : text) count += StartsCharacter(byte);
  return count;
}

// The code point of the UTF-8 character at `at`, and the byte after it. A
// stray byte reads as itself.
char32_t NextCharacter(const std::string& text, size_t* at) {
  const auto lead = static_cast<unsigned char>(text[(*at)++]);
  const int trail = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  char32_t c = trail ? lead & (0x3F >> trail) : lead;
  for (int i = 0; i < trail && *at < text.size() && !StartsCharacter(text[*at]); ++i)
    c = (c << 6) | (static_cast<unsigned char>(text[(*at)++]) & 0x3F);
  return c;
}

// Console cells a character takes: two for the wide characters of East
// Asian scripts (kana, kanji, hangul, full-width forms), one for others.
size_t Cells(char32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                    (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

// The longest start of the text that takes at most `limit` cells, and the
// cells it takes.
std::string FirstCells(const std::string& text, size_t limit, size_t* cells) {
  *cells = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t start = at;
    const size_t width = Cells(NextCharacter(text, &at));
    if (*cells + width > limit) return text.substr(0, start);
    *cells += width;
  }
  return text;
}

}  // namespace

void Tally::Add(Outcome outcome) {
  switch (outcome) {
    case Outcome::Converted:
      ++converted;
      break;
    case Outcome::Failed:
      ++failed;
      break;
    case Outcome::Skipped:
      ++skipped;
      break;
  }
}

std::string Tally::SummaryLine() const {
  return std::to_string(converted) + " converted, " + std::to_string(failed) + " failed, " +
         std::to_string(skipped) + " skipped";
}

std::string Column(const std::string& name) {
  const size_t characters = Characters(name);
  return characters < kNameColumn ? name + std::string(kNameColumn - characters, ' ') : name;
}

std::string PictureDetails(long width, long height, int depth, int decodedDepth, int infoResult, int pictureResult) {
  char text[160];
  std::snprintf(text, sizeof text, "%6ld x %-6ld %2d bit (decoded %2d bit)  info %d  picture %d", width, height,
                depth, decodedDepth, infoResult, pictureResult);
  return text;
}

std::string ProgressText(size_t done, size_t total, const std::string& name, size_t columns) {
  const size_t width = columns > 1 ? columns - 1 : 0;
  size_t cells = 0;
  const std::string line =
      FirstCells("[" + std::to_string(done) + "/" + std::to_string(total) + "] " + name, width, &cells);
  return line + std::string(width - cells, ' ');
}
