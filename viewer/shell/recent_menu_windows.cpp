#include "viewer/shell/recent_menu_windows.h"

namespace {

// An item's text is read into this many characters at most.
constexpr int kMenuTextLength = 260;

}  // namespace

int WindowsRecentMenu::PositionOf(unsigned id) {
  const int count = GetMenuItemCount(menu_);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID;
    if (GetMenuItemInfoA(menu_, static_cast<UINT>(position), TRUE, &item) && item.wID == id) return position;
  }
  return count < 0 ? 0 : count;
}

void WindowsRecentMenu::DeleteById(unsigned id) { DeleteMenu(menu_, id, MF_BYCOMMAND); }

void WindowsRecentMenu::DeleteAt(int position) { DeleteMenu(menu_, static_cast<UINT>(position), MF_BYPOSITION); }

void WindowsRecentMenu::InsertText(int position, unsigned id, const std::string& text) {
  InsertMenuA(menu_, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING, id, text.c_str());
}

void WindowsRecentMenu::Grey(unsigned id) { EnableMenuItem(menu_, id, MF_BYCOMMAND | MF_GRAYED); }

std::optional<std::string> WindowsRecentMenu::TextOf(unsigned id) {
  // GetMenuStringA answers 0 both for a missing item and an empty text.
  if (GetMenuState(menu_, id, MF_BYCOMMAND) == static_cast<UINT>(-1)) return std::nullopt;
  char text[kMenuTextLength + 1] = {};
  const int length = GetMenuStringA(menu_, id, text, sizeof(text), MF_BYCOMMAND);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

namespace {

std::wstring Wide(const std::string& ansi) {
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

}  // namespace

bool SameFilePath(const std::string& a, const std::string& b) {
  const std::wstring wideA = Wide(a), wideB = Wide(b);
  return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                              static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}
