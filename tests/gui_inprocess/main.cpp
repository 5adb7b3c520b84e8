// The window tests start as the program starts: COM and the common
// controls of the frame's bars first.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, on which it builds.
#include <commctrl.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitialize(nullptr);
  const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
