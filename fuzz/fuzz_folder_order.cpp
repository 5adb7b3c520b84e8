// The folder commands' order over file names and plug-in patterns from
// outside: any bytes, well-formed UTF-8 or not. The order must be total
// and consistent (a sort gives each pair in order, a comparison and its
// reverse agree, and it is transitive), every name a pattern takes must
// also be taken in any letter case of ASCII, and the next and previous
// picture from any name must be the nearest one after or before it.
//
// Input: lines (separated by '\n'); a line that starts with '*' or '?' is
// a pattern, every other line a file name; the last line is the current
// file (with no such line, the input is not used).
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "viewer/shell/folder_order.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> names, patterns;
  std::string line;
  for (size_t i = 0; i <= size; ++i) {
    if (i < size && data[i] != '\n') {
      line += static_cast<char>(data[i]);
      continue;
    }
    if (!line.empty() && (line[0] == '*' || line[0] == '?')) {
      patterns.push_back(line);
    } else {
      names.push_back(line);
    }
    line.clear();
  }
  if (names.empty() || names.size() > 200) return 0;  // the pairs below are quadratic
  const std::string current = names.back();
  for (const std::string& a : names) {
    for (const std::string& b : names) Require(CompareNatural(a, b) == -CompareNatural(b, a));
    Require(CompareNatural(a, a) == 0);
    for (const std::string& pattern : patterns) {
      std::string upper = a;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      Require(MatchesPattern(a, pattern) == MatchesPattern(upper, pattern));
    }
  }
  // Transitive, among the first few.
  const size_t few = std::min<size_t>(names.size(), 12);
  for (size_t i = 0; i < few; ++i)
    for (size_t j = 0; j < few; ++j)
      for (size_t k = 0; k < few; ++k)
        if (CompareNatural(names[i], names[j]) < 0 && CompareNatural(names[j], names[k]) < 0)
          Require(CompareNatural(names[i], names[k]) < 0);
  std::vector<std::string> joined = SplitPatterns(std::string(reinterpret_cast<const char*>(data), size));
  (void)joined;
  const std::vector<std::string> all = {"*"};
  const std::vector<std::string> ordered = PicturesInOrder(names, patterns.empty() ? all : patterns);
  for (size_t i = 1; i < ordered.size(); ++i) Require(CompareNatural(ordered[i - 1], ordered[i]) <= 0);
  const auto next = PictureBeside(ordered, current, Step::Next);
  const auto previous = PictureBeside(ordered, current, Step::Previous);
  for (const std::string& name : ordered) {
    const int order = CompareIgnoringCase(name, current);
    if (order > 0) Require(next && CompareIgnoringCase(*next, name) <= 0);
    if (order < 0) Require(previous && CompareIgnoringCase(*previous, name) >= 0);
  }
  if (next) Require(CompareIgnoringCase(*next, current) > 0);
  if (previous) Require(CompareIgnoringCase(*previous, current) < 0);
  return 0;
}
