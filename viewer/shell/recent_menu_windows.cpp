#include "viewer/shell/recent_menu_windows.h"

#include "platform/windows/text.h"

namespace {

// An item's text is read into this many characters at most.
constexpr int kMenuTextLength = 260;

}  // namespace

int WindowsRecentMenu::PositionOf(unsigned id) {
  const int count = GetMenuItemCount(menu_);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID;
    if (GetMenuItemInfoW(menu_, static_cast<UINT>(position), TRUE, &item) && item.wID == id) return position;
  }
  return count < 0 ? 0 : count;
}

void WindowsRecentMenu::DeleteById(unsigned id) { DeleteMenu(menu_, id, MF_BYCOMMAND); }

void WindowsRecentMenu::DeleteAt(int position) { DeleteMenu(menu_, static_cast<UINT>(position), MF_BYPOSITION); }

void WindowsRecentMenu::InsertText(int position, unsigned id, const std::string& text) {
  InsertMenuW(menu_, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING, id, platform::Utf16(text).c_str());
}

void WindowsRecentMenu::Grey(unsigned id) { EnableMenuItem(menu_, id, MF_BYCOMMAND | MF_GRAYED); }

std::optional<std::string> WindowsRecentMenu::TextOf(unsigned id) {
  // GetMenuStringW answers 0 both for a missing item and an empty text.
  if (GetMenuState(menu_, id, MF_BYCOMMAND) == static_cast<UINT>(-1)) return std::nullopt;
  wchar_t text[kMenuTextLength + 1] = {};
  const int length = GetMenuStringW(menu_, id, text, kMenuTextLength + 1, MF_BYCOMMAND);
  return platform::Utf8(std::wstring_view(text, length > 0 ? static_cast<size_t>(length) : 0));
}

bool SameFilePath(const std::string& a, const std::string& b) {
  const std::wstring wideA = platform::Utf16(a), wideB = platform::Utf16(b);
  return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                              static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}
