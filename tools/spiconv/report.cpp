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

// The longest start of the text of at most `limit` characters.
std::string FirstCharacters(const std::string& text, size_t limit) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (StartsCharacter(text[i]) && count++ == limit) return text.substr(0, i);
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
  const std::string line =
      FirstCharacters("[" + std::to_string(done) + "/" + std::to_string(total) + "] " + name, width);
  return line + std::string(width - Characters(line), ' ');
}
