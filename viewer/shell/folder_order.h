// The pictures of a folder in the order Explorer shows them, and the next
// or previous one from a given file: what PageDown and PageUp step
// through. Names are UTF-8 file names without their folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Explorer's order: letters compared without their case, a run of digits
// compared as the number it writes, every other character by its code
// point. Names that tie so (leading zeros, case) are put in one order by
// the fewer leading zeros, then by their bytes, so the order is total.
// Negative, zero or positive, as a comparison does.
int CompareNatural(std::string_view a, std::string_view b);
// The same without the last tie-break: 0 for names that differ only in
// the case of their letters.
int CompareIgnoringCase(std::string_view a, std::string_view b);
inline bool NaturalLess(std::string_view a, std::string_view b) { return CompareNatural(a, b) < 0; }

// Whether a name matches a file pattern of the plug-ins ("*.cz1",
// "px*.px", "*.*"): '*' any run of characters, '?' one character,
// letters without their case. The whole long name must match: "*.cz1"
// does not take "x.cz1_old".
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The patterns of "All Images" (each plug-in's patterns, joined by ';')
// split into single patterns; empty ones left out.
std::vector<std::string> SplitPatterns(std::string_view joined);

// The names that some pattern takes, in Explorer's order.
std::vector<std::string> PicturesInOrder(const std::vector<std::string>& names,
                                         const std::vector<std::string>& patterns);

enum class Step { Next, Previous };

// The picture after (or before) `current` in `ordered` (as PicturesInOrder
// gives them), whether or not `current` is still among them: a file
// deleted or renamed meanwhile keeps its place in the order. Nothing at
// the end (or the start).
std::optional<std::string> PictureBeside(const std::vector<std::string>& ordered, std::string_view current, Step step);
