// Trellin's entry: COM and the common controls, then the frame and its
// message loop. The command line is not read: a file named on it is not
// opened.
#include <windows.h>
// After windows.h, on which it builds.
#include <commctrl.h>

#include "viewer/shell/main_frame.h"

namespace {

// The frame's construction finds the plug-ins and binds the image writer;
// without the writer the program has ended there, before any window.
int Run(int show) {
  MessageLoop loop;
  CMainFrame frame(loop);
  if (!frame.Create()) return 0;
  ShowWindow(frame.hwnd(), show);
  return loop.Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  CoInitialize(nullptr);
  const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const int result = Run(show);
  CoUninitialize();
  return result;
}
