#include "viewer/shell/about_dlg.h"

#include "viewer/resources/resource.h"
#include "viewer/shell/strings.h"

bool VersionInfo::Open(const char* path) {
  char program[MAX_PATH];
  if (!path) {
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) return false;
    path = program;
  }
  const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
  if (size == 0) return false;
  block_.assign(size, 0);
  if (!GetFileVersionInfoA(path, 0, size, block_.data())) return false;
  const WORD* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) ||
      length < 2 * sizeof(WORD))
    return false;
  char prefix[64];
  wsprintfA(prefix, "StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  prefix_ = prefix;
  return true;
}

std::string VersionInfo::Value(const char* name) const {
  if (block_.empty()) return {};
  const std::string query = prefix_.substr(0, 126) + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block_.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
  return value;
}

INT_PTR CAboutDlg::DoModal(HWND owner) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, Procedure, 0);
}

INT_PTR CALLBACK CAboutDlg::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(dialog);
    return TRUE;  // the system gives the focus to the default button
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

// Centred on its parent; "Trellin  ver. 1, 0, 2, 1", an empty line and the
// copyright line, all from the version block. Where the block cannot be
// read, the template's own text stays.
void CAboutDlg::OnInitDialog(HWND dialog) {
  RECT parent, self;
  HWND owner = GetParent(dialog);
  if (!owner || !GetWindowRect(owner, &parent)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &parent, 0);
  GetWindowRect(dialog, &self);
  const int width = self.right - self.left, height = self.bottom - self.top;
  SetWindowPos(dialog, nullptr, parent.left + (parent.right - parent.left - width) / 2,
               parent.top + (parent.bottom - parent.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  VersionInfo version;
  if (!version.Open(nullptr)) return;
  const std::string text =
      LoadText(IDR_MAINFRAME) + "  ver. " + version.Value("ProductVersion") + "\n\n" + version.Value("LegalCopyright");
  SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, text.c_str());
}
