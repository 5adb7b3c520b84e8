// A recent list's submenu: a real menu of the main frame.
#pragma once

#include <windows.h>

#include "viewer/shell/recent_image_list.h"

class WindowsRecentMenu final : public RecentMenu {
 public:
  // The menu stays the caller's (it belongs to the frame's menu bar).
  explicit WindowsRecentMenu(HMENU menu) : menu_(menu) {}

  int PositionOf(unsigned id) override;
  void DeleteById(unsigned id) override;
  void DeleteAt(int position) override;
  void InsertText(int position, unsigned id, const std::string& text) override;
  void Grey(unsigned id) override;
  std::optional<std::string> TextOf(unsigned id) override;

 private:
  HMENU menu_;
};

// Paths (UTF-8) compared as the file system compares names: ordinally,
// ignoring case by the system's own case table, so full-width and other
// cased letters match too.
bool SameFilePath(const std::string& a, const std::string& b);
