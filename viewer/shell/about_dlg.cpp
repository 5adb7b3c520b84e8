#include "viewer/shell/about_dlg.h"

#include <cwchar>

#include "platform/windows/text.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/strings.h"
#include "viewer/shell/system_libraries.h"

bool VersionInfo::Open(const wchar_t* path) {
  const VersionCalls* calls = VersionLibrary();
  if (!calls) return false;
  const std::wstring program = path ? std::wstring() : platform::ProgramPath();
  if (!path) {
    if (program.empty()) return false;
    path = program.c_str();
  }
  const DWORD size = calls->GetFileVersionInfoSizeW(path, nullptr);
  if (size == 0) return false;
  block_.assign(size, 0);
  if (!calls->GetFileVersionInfoW(path, 0, size, block_.data())) return false;
  const WORD* translation = nullptr;
  UINT length = 0;
  if (!calls->VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) ||
      length < 2 * sizeof(WORD))
    return false;
  wchar_t prefix[64];
  std::swprintf(prefix, 64, L"StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  prefix_ = prefix;
  return true;
}

std::wstring VersionInfo::Value(const wchar_t* name) const {
  const VersionCalls* calls = VersionLibrary();
  if (block_.empty() || !calls) return {};
  const std::wstring query = prefix_.substr(0, 126) + name;
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!calls->VerQueryValueW(block_.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return {};
  return value;
}

INT_PTR CAboutDlg::DoModal(HWND owner) {
  // The template of the language the user sees.
  const DLGTEMPLATE* dialog = LanguageDialog(IDD_ABOUTBOX);
  return dialog ? DialogBoxIndirectParamW(ProgramInstance(), dialog, owner, Procedure, 0) : -1;
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
// copyright line: the layout and the name from the string table, the
// version and the copyright from the version block. Where the block cannot
// be read, the template's own text stays.
void CAboutDlg::OnInitDialog(HWND dialog) {
  RECT parent, self;
  HWND owner = GetParent(dialog);
  if (!owner || !GetWindowRect(owner, &parent)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &parent, 0);
  GetWindowRect(dialog, &self);
  const int width = self.right - self.left, height = self.bottom - self.top;
  SetWindowPos(dialog, nullptr, parent.left + (parent.right - parent.left - width) / 2,
               parent.top + (parent.bottom - parent.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  VersionInfo version;
  if (!version.Open(nullptr)) return;
  const std::wstring text = FillText(LoadText(IDS_ABOUT_TEXT), {LoadText(IDR_MAINFRAME), version.Value(L"ProductVersion"),
                                                                version.Value(L"LegalCopyright")});
  SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, text.c_str());
}
