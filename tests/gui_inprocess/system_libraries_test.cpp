// The libraries of Windows that are no known DLLs come from the system
// folder alone. A copy of this program runs from a folder where a
// version.dll and a winspool.drv are planted that note every call made of
// them; in the copy the About box shows the program's version and a page
// goes to the printer, and neither planted library may have been called.
//
// Windows looks for a library that a program imports in the program's
// folder first, unless it is a known DLL. Wine takes its own libraries
// unless told otherwise, so the copy runs with these two set to "native,
// then builtin", Windows' order for them. Wine's own libraries then load
// the planted version.dll too (Windows takes a known DLL's dependencies
// from the system folder): what is checked is that the viewer calls
// neither.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/windows/text.h"
#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/system_libraries.h"

namespace {

constexpr wchar_t kInTheCopy[] = L"TRELLIN_PLANTED_COPY";
const char* const kPlanted[] = {"version.dll", "winspool.drv"};

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// Wine's order for the two libraries in the copy: "native, then builtin",
// the order Windows follows for any library that is no known DLL. It is
// kept per program file name, for the copy's name alone.
constexpr wchar_t kCopyName[] = L"trellin-planted.exe";
constexpr wchar_t kCopyOrder[] = L"Software\\Wine\\AppDefaults\\trellin-planted.exe\\DllOverrides";

void SetCopyLoadOrder() {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kCopyOrder, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != 0)
    return;
  const wchar_t order[] = L"native,builtin";
  for (const wchar_t* library : {L"version", L"winspool.drv"})
    RegSetValueExW(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
  RegCloseKey(key);
}

// Runs the copy with the test below as its only one; its exit code, or
// STILL_ACTIVE when it had to be stopped.
DWORD RunCopy(const std::wstring& program) {
  SetCopyLoadOrder();
  SetEnvironmentVariableW(kInTheCopy, L"1");
  std::wstring command = L"\"" + program + L"\" --gtest_brief=1 --gtest_filter=PlantedSystemLibraries.InTheCopy";
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                     FolderOf(program).c_str(), &startup, &process);
  SetEnvironmentVariableW(kInTheCopy, nullptr);
  DWORD code = started ? STILL_ACTIVE : GetLastError();
  if (started && WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else if (started) {
    TerminateProcess(process.hProcess, 1);
  }
  if (started) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\trellin-planted.exe");
  return code;
}

TEST(PlantedSystemLibraries, TheViewerCallsNeither) {
  const std::wstring self = platform::ProgramPath();
  const std::string folder = NewFolder("planted");
  const std::wstring copy = platform::Utf16(folder) + L"\\" + kCopyName;
  ASSERT_TRUE(CopyFileW(self.c_str(), copy.c_str(), FALSE));
  for (const char* name : kPlanted) {
    const std::wstring planted = FolderOf(self) + L"\\planted\\" + platform::Utf16(name);
    ASSERT_TRUE(CopyFileW(planted.c_str(), platform::Utf16(folder + "\\" + name).c_str(), FALSE)) << name;
  }
  EXPECT_EQ(RunCopy(copy), 0u) << "the copy's own test";
  for (const char* name : kPlanted) {
    const Bytes calls = ReadFileBytes(folder + "\\" + name + ".called");
    EXPECT_EQ(std::string(calls.begin(), calls.end()), "") << "calls made of the planted " << name;
  }
}

// The copy's one test, started by the test above and there alone: as the
// program starts, the search restricted first, then the frame.
class InTheCopy : public testing::Test {
  void TestBody() override {
    RestrictLibrarySearch();
    FrameUnderTest frame;
    ASSERT_TRUE(frame.hwnd());
    std::string text;
    {
      DialogWatcher about([&](HWND dialog) {
        char read[256] = {};
        GetDlgItemTextA(dialog, IDC_ABOUT_TEXT, read, sizeof read);
        text = read;
        DialogWatcher::PressOk(dialog);
      });
      SetActiveWindow(frame.hwnd());
      frame.Command(ID_APP_ABOUT);
    }
    EXPECT_EQ(text, "Trellin  ver. 1, 0, 2, 1\n\nCopyright (C) 2026 the Trellin developers");

    const PictureFolder pictures;
    ASSERT_EQ(frame.view().OpenImage(pictures.Tga("scene.tga", Scene(8, 6)).c_str(), kMayBeBackground),
              SpiResult::Ok);
    DialogWatcher print;
    frame.Command(ID_FILE_PRINT);
    ASSERT_EQ(print.seen().size(), 1u) << "the print dialog";
    EXPECT_FALSE(print.seen()[0].unanswered);
    EXPECT_TRUE(PrintingLibrary());
  }
};

const bool registered = _wgetenv(kInTheCopy) && testing::RegisterTest("PlantedSystemLibraries", "InTheCopy", nullptr,
                                                                       nullptr, __FILE__, __LINE__,
                                                                       []() -> testing::Test* { return new InTheCopy; });

}  // namespace
