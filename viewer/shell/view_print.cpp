// The view's printing: one page, the picture at the page's top-left corner,
// one pixel to one printer pixel, painted as on the screen.
#include "viewer/shell/trellin_view.h"

#include "platform/windows/text.h"
#include "viewer/engine/path_text.h"
#include "viewer/shell/system_libraries.h"

namespace {

// The printer's name and device mode from the print dialog, locked while
// the job runs, and everything the dialog handed over freed afterwards.
class PrintSetup {
 public:
  explicit PrintSetup(const PRINTDLGW& dialog) : dialog_(dialog) {
    if (dialog_.hDevMode) mode_ = static_cast<DEVMODEW*>(GlobalLock(dialog_.hDevMode));
    if (auto* names = static_cast<const DEVNAMES*>(GlobalLock(dialog_.hDevNames))) {
      device_ = reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset;
      GlobalUnlock(dialog_.hDevNames);
    }
    PRINTER_DEFAULTSW defaults = {nullptr, mode_, PRINTER_ACCESS_USE};
    if (printing_) printing_->OpenPrinterW(&device_[0], &printer_, &defaults);
  }
  ~PrintSetup() {
    if (printer_) printing_->ClosePrinter(printer_);
    if (mode_) GlobalUnlock(dialog_.hDevMode);
    GlobalFree(dialog_.hDevNames);
    GlobalFree(dialog_.hDevMode);
    DeleteDC(dialog_.hDC);
  }
  PrintSetup(const PrintSetup&) = delete;
  PrintSetup& operator=(const PrintSetup&) = delete;

 private:
  const PRINTDLGW& dialog_;
  const PrintingCalls* printing_ = PrintingLibrary();
  DEVMODEW* mode_ = nullptr;
  std::wstring device_;
  HANDLE printer_ = nullptr;
};

}  // namespace

void CTrellinView::Print(UINT) {
  PRINTDLGW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_NOSELECTION | PD_RETURNDC;
  if (!PrintDlgW(&dialog)) return;
  const PrintSetup setup(dialog);
  const std::wstring name = platform::Utf16(
      FileNamePart(document_.HasForeground() ? document_.foregroundName() : document_.backgroundName()));
  DOCINFOW document = {sizeof document};
  document.lpszDocName = name.c_str();
  if (dialog.Flags & PD_PRINTTOFILE) document.lpszOutput = L"FILE:";
  if (StartDocW(dialog.hDC, &document) <= 0) return;
  if (StartPage(dialog.hDC) > 0) {
    const int saved = SaveDC(dialog.hDC);
    PrintPage(dialog.hDC, 0);
    RestoreDC(dialog.hDC, saved);
    EndPage(dialog.hDC);
  }
  EndDoc(dialog.hDC);
}

bool CTrellinView::PrintPage(HDC dc, int page) {
  if (page != 0) return false;
  Paint(dc, false);
  return true;
}
