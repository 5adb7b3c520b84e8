#include "viewer/shell/folder_order.h"

#include <algorithm>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The code point at `at` and the bytes it takes. A byte that starts no
// well-formed character stands for itself (as a code point of its own
// value above the Unicode range), so every name still has one order.
char32_t NextCodePoint(std::string_view text, size_t at, size_t* length) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  size_t count = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (count == 0 || at + count > text.size()) count = 0;
  char32_t code = count == 1 ? lead : count == 2 ? lead & 0x1F : count == 3 ? lead & 0x0F : lead & 0x07;
  for (size_t k = 1; k < count; ++k) {
    if ((byte(k) & 0xC0) != 0x80) {
      count = 0;
      break;
    }
    code = (code << 6) | (byte(k) & 0x3F);
  }
  if (count == 0) {
    *length = 1;
    return 0x110000 + lead;
  }
  *length = count;
  return code;
}

// Upper-case letters of the scripts whose file names most often differ in
// case only, as their lower-case forms: Latin, Greek, Cyrillic and the
// full-width Latin letters of Japanese text.
char32_t FoldCase(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 0x20;  // Latin-1
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
    // Latin Extended-A: pairs, the capital at the even place below 0x138
    // and at the odd place from 0x139 to 0x148 and from 0x14A on.
    const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    return ((c & 1) == (oddCapitals ? 1u : 0u)) ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // full-width Latin
  return c;
}

// A run of digits from `at`: where it ends and how many leading zeros it
// has (all but the last, in a run of zeros only).
struct DigitRun {
  size_t end;
  size_t zeros;
};

DigitRun DigitRunAt(std::string_view text, size_t at) {
  size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  size_t zeros = 0;
  while (at + zeros + 1 < end && text[at + zeros] == '0') ++zeros;
  return {end, zeros};
}

int Sign(long long value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

// Every level but the last: equal for two names that differ only in the
// case of their letters, which name one file on Windows.
int CompareIgnoringCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  int zerosTie = 0;  // the first difference in leading zeros: fewer first
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const DigitRun x = DigitRunAt(a, i), y = DigitRunAt(b, j);
      const std::string_view numberA = a.substr(i + x.zeros, x.end - i - x.zeros);
      const std::string_view numberB = b.substr(j + y.zeros, y.end - j - y.zeros);
      // Without leading zeros the longer number is the larger one.
      if (numberA.size() != numberB.size()) return numberA.size() < numberB.size() ? -1 : 1;
      if (const int c = numberA.compare(numberB); c != 0) return Sign(c);
      if (zerosTie == 0 && x.zeros != y.zeros) zerosTie = x.zeros < y.zeros ? -1 : 1;
      i = x.end;
      j = y.end;
      continue;
    }
    size_t lengthA, lengthB;
    const char32_t ca = FoldCase(NextCodePoint(a, i, &lengthA)), cb = FoldCase(NextCodePoint(b, j, &lengthB));
    if (ca != cb) return ca < cb ? -1 : 1;
    i += lengthA;
    j += lengthB;
  }
  // One name is the start of the other: the shorter first.
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return zerosTie;
}

int CompareNatural(std::string_view a, std::string_view b) {
  const int order = CompareIgnoringCase(a, b);
  return order != 0 ? order : Sign(a.compare(b));
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // The classic match with one step back to the last '*'.
  size_t n = 0, p = 0, starAt = std::string_view::npos, resumeAt = 0;
  while (n < name.size()) {
    size_t nameLength, patternLength = 0;
    const char32_t c = FoldCase(NextCodePoint(name, n, &nameLength));
    const char32_t q = p < pattern.size() ? FoldCase(NextCodePoint(pattern, p, &patternLength)) : 0;
    if (p < pattern.size() && q == U'*') {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() && (q == U'?' || q == c)) {
      n += nameLength;
      p += patternLength;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      NextCodePoint(name, resumeAt, &nameLength);
      n = resumeAt += nameLength;
    } else {
      return false;
    }
  }
  // "*.*" also takes a name without a dot, as it does on Windows.
  while (p < pattern.size() && (pattern[p] == '*' || (pattern.substr(p) == ".*"))) p += pattern[p] == '*' ? 1 : 2;
  return p == pattern.size();
}

std::vector<std::string> SplitPatterns(std::string_view joined) {
  std::vector<std::string> patterns;
  while (!joined.empty()) {
    const size_t end = std::min(joined.find(';'), joined.size());
    std::string_view pattern = joined.substr(0, end);
    while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
    if (!pattern.empty()) patterns.emplace_back(pattern);
    joined.remove_prefix(std::min(end + 1, joined.size()));
  }
  return patterns;
}

std::vector<std::string> PicturesInOrder(const std::vector<std::string>& names,
                                         const std::vector<std::string>& patterns) {
  std::vector<std::string> pictures;
  for (const std::string& name : names) {
    if (std::any_of(patterns.begin(), patterns.end(),
                    [&](const std::string& pattern) { return MatchesPattern(name, pattern); }))
      pictures.push_back(name);
  }
  std::sort(pictures.begin(), pictures.end(), NaturalLess);
  return pictures;
}

// The current file's name may differ in case from the folder's: both name
// the same file, which is neither after nor before itself.
std::optional<std::string> PictureBeside(const std::vector<std::string>& ordered, std::string_view current, Step step) {
  const auto less = [](std::string_view a, std::string_view b) { return CompareIgnoringCase(a, b) < 0; };
  if (step == Step::Next) {
    const auto after = std::upper_bound(ordered.begin(), ordered.end(), current, less);
    if (after == ordered.end()) return std::nullopt;
    return *after;
  }
  const auto at = std::lower_bound(ordered.begin(), ordered.end(), current, less);
  if (at == ordered.begin()) return std::nullopt;
  return *(at - 1);
}
