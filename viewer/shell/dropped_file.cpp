#include "viewer/shell/dropped_file.h"

#include "platform/windows/text.h"

namespace {

// The view's name buffer: MAX_PATH characters with the terminating zero.
constexpr UINT kNameBuffer = MAX_PATH;

}  // namespace

std::optional<std::string> FirstDroppedName(const DropQuery& query) {
  const UINT length = query(0, nullptr, 0);
  if (length == 0 || length >= kNameBuffer) return std::nullopt;
  wchar_t name[kNameBuffer] = {};
  if (query(0, name, kNameBuffer) != length) return std::nullopt;
  return platform::Utf8(std::wstring_view(name, length));
}

std::optional<std::string> FirstDroppedName(HDROP drop) {
  return FirstDroppedName(
      [drop](UINT index, wchar_t* buffer, UINT size) { return DragQueryFileW(drop, index, buffer, size); });
}
