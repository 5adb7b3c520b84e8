// The About box: the program's icon, name, version and copyright line, the
// last two read from the program file's own version block.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One file's version block and the string table of its first translation.
class VersionInfo {
 public:
  // The program file's own block when `path` is null; false when the block
  // or its translation table cannot be read.
  bool Open(const wchar_t* path);
  // The named string, or an empty text.
  std::wstring Value(const wchar_t* name) const;

 private:
  std::vector<char> block_;
  std::wstring prefix_;  // "StringFileInfo\llllcccc\"
};

class CAboutDlg {
 public:
  // Runs the dialog until it is closed; the identifier that closed it.
  INT_PTR DoModal(HWND owner);

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static void OnInitDialog(HWND dialog);
};
