// Trellin's entry: COM and the common controls, then the frame and its
// message loop. The command line is not read: a file named on it is not
// opened.
#include <windows.h>
// After windows.h, on which it builds.
#include <commctrl.h>

#include "viewer/engine/windows/image_libraries.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/main_frame.h"
#include "viewer/shell/strings.h"

namespace {

// The program's one fatal failure: a warning without an owner window, then
// the process ends with exit code 0.
[[noreturn]] void ExitForMissingImageWriter() {
  MessageBoxW(nullptr, LoadText(IDS_WRITER_MISSING).c_str(), LoadText(IDS_WARNING_CAPTION).c_str(), MB_ICONERROR);
  ExitProcess(0);
}

// The plug-ins are found and the image writer bound before any window;
// without the writer the program ends there, with its warning.
int Run(int show) {
  ImageLibraries libraries;
  if (!libraries.Load(ProgramFolder())) ExitForMissingImageWriter();
  MessageLoop loop;
  CMainFrame frame(loop, libraries.plugins, libraries.writer);
  if (!frame.Create()) return 0;
  ShowWindow(frame.hwnd(), show);
  return loop.Run();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int show) {
  RestrictLibrarySearch();
  CoInitialize(nullptr);
  const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const int result = Run(show);
  CoUninitialize();
  return result;
}
