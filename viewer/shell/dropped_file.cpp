#include "viewer/shell/dropped_file.h"

namespace {

// The view's name buffer: MAX_PATH characters with the terminating zero.
constexpr UINT kNameBuffer = MAX_PATH;

}  // namespace

std::optional<std::string> FirstDroppedName(const DropQuery& query) {
  const UINT length = query(0, nullptr, 0);
  if (length == 0 || length >= kNameBuffer) return std::nullopt;
  char name[kNameBuffer] = {};
  if (query(0, name, kNameBuffer) != length) return std::nullopt;
  return std::string(name, length);
}

std::optional<std::string> FirstDroppedName(HDROP drop) {
  return FirstDroppedName([drop](UINT index, char* buffer, UINT size) { return DragQueryFileA(drop, index, buffer, size); });
}
