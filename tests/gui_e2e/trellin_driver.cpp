// The end-to-end tests' hands on the Windows side, for what real keyboard
// and mouse input cannot reach: finding the viewer's windows, reading their
// texts, the texts of dialog controls and the program's own string table,
// pressing dialog buttons, the clipboard, the desktop's wallpaper
// settings, dropping a file on a window and timing drag steps.
//
//   trellin_driver COMMAND ARGUMENTS...
//
// Arguments are taken in UTF-16 from the command line and every text is
// printed in UTF-8, so the calling script compares Japanese texts as it
// wrote them whatever the ANSI code page. Window handles are read and
// printed in hexadecimal. Commands that wait take a time-out in
// milliseconds and fail (exit code 1) when it runs out; usage errors give 2.
#include <windows.h>
// After windows.h, on which they build.
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winspool.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "viewer/shell/strings.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

// One line of output; written through at once, so a caller that stops
// reading early still has every line before it.
void Print(const std::wstring& line) {
  std::fputs((Utf8(line) + "\n").c_str(), stdout);
  std::fflush(stdout);
}

int Fail(const std::wstring& why) {
  std::fputs(("trellin_driver: " + Utf8(why) + "\n").c_str(), stderr);
  return 1;
}

std::wstring Hex(const void* handle) {
  wchar_t text[32];
  std::swprintf(text, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
  return text;
}

HWND ParseWindow(const std::wstring& text) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(text.c_str(), nullptr, 16)));
}

int ParseInt(const std::wstring& text) { return static_cast<int>(std::wcstol(text.c_str(), nullptr, 0)); }

// Waits until `ready` holds, checking every 20 ms; false when `milliseconds` ran out first.
bool WaitFor(int milliseconds, const std::function<bool()>& ready) {
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (ready()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Another process's window text through WM_GETTEXT, which the system
// carries across processes (GetWindowText would not ask the window).
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                           &copied))
    return {};
  text.resize(copied);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// "-" matches anything.
bool Matches(const std::wstring& pattern, const std::wstring& value) { return pattern == L"-" || pattern == value; }

// The visible top-level window of that class and title, or null.
HWND FindVisible(const std::wstring& windowClass, const std::wstring& title) {
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && Matches(windowClass, ClassOf(window)) && Matches(title, TextOf(window)))
      return window;
  return nullptr;
}

// Memory in another process, for the common controls' messages whose
// pointers the system does not carry across processes.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) : size_(size) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  // Leaves the memory to the other process, which frees it itself.
  void HandOver() { address_ = nullptr; }
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  bool Write(const void* bytes, size_t size) {
    return size <= size_ && WriteProcessMemory(process_, address_, bytes, size, nullptr);
  }
  bool Read(void* bytes, size_t size) const {
    return size <= size_ && ReadProcessMemory(process_, address_, bytes, size, nullptr);
  }

 private:
  size_t size_;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

// ---- Windows and their texts ----

// windows [CLASS]: every top-level window, visible or not, of that class:
// handle, visible (1/0), class, title, owner.
int ListWindows(const std::vector<std::wstring>& args) {
  const std::wstring windowClass = args.empty() ? L"-" : args[0];
  for (HWND window : TopLevelWindows()) {
    if (!Matches(windowClass, ClassOf(window))) continue;
    Print(Hex(window) + L"\t" + (IsWindowVisible(window) ? L"1" : L"0") + L"\t" + ClassOf(window) + L"\t" +
          TextOf(window) + L"\t" + Hex(GetWindow(window, GW_OWNER)));
  }
  return 0;
}

// wait-window CLASS TITLE TIMEOUT: a visible top-level window of that class
// ("-" any) and title ("-" any); prints its handle.
int WaitWindow(const std::vector<std::wstring>& args) {
  if (args.size() != 3) return 2;
  HWND found = nullptr;
  if (!WaitFor(ParseInt(args[2]), [&] { return (found = FindVisible(args[0], args[1])) != nullptr; }))
    return Fail(L"no visible window of class " + args[0] + L" titled " + args[1]);
  Print(Hex(found));
  return 0;
}

// wait-gone HWND TIMEOUT: until the window no longer exists or is hidden.
int WaitGone(const std::vector<std::wstring>& args) {
  if (args.size() != 2) return 2;
  HWND window = ParseWindow(args[0]);
  if (!WaitFor(ParseInt(args[1]), [&] { return !IsWindow(window) || !IsWindowVisible(window); }))
    return Fail(L"window " + args[0] + L" is still there");
  return 0;
}

// wait-title HWND TITLE TIMEOUT
int WaitTitle(const std::vector<std::wstring>& args) {
  if (args.size() != 3) return 2;
  HWND window = ParseWindow(args[0]);
  std::wstring last;
  if (!WaitFor(ParseInt(args[2]), [&] { return (last = TextOf(window)) == args[1]; }))
    return Fail(L"the title stays \"" + last + L"\", not \"" + args[1] + L"\"");
  return 0;
}

// menu-reference PROGRAM LANGUAGE X Y WIDTH HEIGHT: a window of the
// frame's styles at that place, showing the program's menu of that
// language ("ja" or "en"), drawn by the system as it draws the frame's, so
// that a picture of the two menu bars can be compared: the system keeps
// another process's menus from this one. It runs on a thread of its own
// until the next reference replaces it; its handle is printed. It is never
// activated, so the frame keeps the keyboard.
struct MenuReference {
  std::wstring program;
  Language language;
  RECT place;
  HANDLE ready;
  HWND window;
};

DWORD WINAPI RunMenuReference(void* parameter) {
  auto& reference = *static_cast<MenuReference*>(parameter);
  HMODULE program =
      LoadLibraryExW(reference.program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC found = program ? FindResourceExW(program, RT_MENU, MAKEINTRESOURCEW(128),
                                          ResourceLanguageId(reference.language))
                        : nullptr;
  HMENU menu = found ? LoadMenuIndirectW(LockResource(LoadResource(program, found))) : nullptr;
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"TrellinMenuReference";
  RegisterClassW(&windowClass);
  const RECT& r = reference.place;
  reference.window = menu ? CreateWindowExW(WS_EX_NOACTIVATE, L"TrellinMenuReference", L"Trellin",
                                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, r.left, r.top,
                                            r.right, r.bottom, nullptr, menu, nullptr, nullptr)
                          : nullptr;
  if (reference.window) ShowWindow(reference.window, SW_SHOWNOACTIVATE);
  SetEvent(reference.ready);
  MSG message;
  while (reference.window && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_APP) {
      DestroyWindow(reference.window);
      break;
    }
    DispatchMessageW(&message);
  }
  if (program) FreeLibrary(program);
  return 0;
}

// The thread of the reference shown, which ends when told.
DWORD referenceThread = 0;

void CloseMenuReference() {
  if (referenceThread) PostThreadMessageW(referenceThread, WM_APP, 0, 0);
  referenceThread = 0;
}

int ShowMenuReference(const std::vector<std::wstring>& args) {
  if (args.size() != 6) return 2;
  // The thread of the reference it replaces reads its record until it
  // ends: the records are kept for the driver's life.
  static MenuReference* shown = nullptr;
  const std::optional<Language> language = ParseLanguage(Utf8(args[1]));
  if (!language) return Fail(L"no language " + args[1]);
  CloseMenuReference();
  shown = new MenuReference{args[0], *language,
                            RECT{ParseInt(args[2]), ParseInt(args[3]), ParseInt(args[4]), ParseInt(args[5])},
                            CreateEventW(nullptr, TRUE, FALSE, nullptr), nullptr};
  CloseHandle(CreateThread(nullptr, 0, RunMenuReference, shown, 0, &referenceThread));
  WaitForSingleObject(shown->ready, 10000);
  if (!shown->window) return Fail(L"no menu of " + args[1] + L" in " + args[0]);
  Print(Hex(shown->window));
  return 0;
}

// menu-reference-close: the reference window goes away.
int HideMenuReference(const std::vector<std::wstring>& args) {
  if (!args.empty()) return 2;
  CloseMenuReference();
  return 0;
}

// sync HWND TIMEOUT: returns once the window's thread is back in its
// message loop, so a command it was running has finished.
int Sync(const std::vector<std::wstring>& args) {
  if (args.size() != 2) return 2;
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(ParseWindow(args[0]), WM_NULL, 0, 0, SMTO_NORMAL, ParseInt(args[1]), &ignored))
    return Fail(L"the window's thread did not answer");
  return 0;
}

// text HWND
int PrintText(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  Print(TextOf(ParseWindow(args[0])));
  return 0;
}

// A text on one line of output: line breaks shown as \n.
std::wstring OneLine(const std::wstring& text) {
  std::wstring line;
  for (wchar_t c : text) {
    if (c == L'\r') continue;
    line += c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
  }
  return line;
}

// controls HWND: every child window: identifier, class, text (line breaks
// shown as \n), visible.
int ListControls(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  for (HWND child : ChildWindows(ParseWindow(args[0]))) {
    Print(std::to_wstring(GetDlgCtrlID(child)) + L"\t" + ClassOf(child) + L"\t" + OneLine(TextOf(child)) + L"\t" +
          (IsWindowVisible(child) ? L"1" : L"0"));
  }
  return 0;
}

// resource-text PROGRAM ID LANGUAGE: the program's string-table text of that
// identifier in that language ("ja" or "en"; line breaks shown as \n),
// read from its file as the program itself loads it, so that the tests
// compare with the program's own texts.
int ResourceText(const std::vector<std::wstring>& args) {
  if (args.size() != 3) return 2;
  const std::optional<Language> language = ParseLanguage(Utf8(args[2]));
  if (!language) return Fail(L"no language " + args[2]);
  HMODULE program = LoadLibraryExW(args[0].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!program) return Fail(L"cannot read the resources of " + args[0]);
  const std::optional<std::wstring> found = ModuleText(program, *language, static_cast<UINT>(ParseInt(args[1])));
  FreeLibrary(program);
  if (!found) return Fail(L"no text " + args[1] + L" in " + args[2] + L" in " + args[0]);
  Print(OneLine(*found));
  return 0;
}

// click HWND ID: presses a dialog's button as a click would (posted, so a
// button that opens another modal window does not hold the driver).
int ClickButton(const std::vector<std::wstring>& args) {
  if (args.size() != 2) return 2;
  HWND button = GetDlgItem(ParseWindow(args[0]), ParseInt(args[1]));
  if (!button) return Fail(L"no control " + args[1]);
  PostMessageW(button, BM_CLICK, 0, 0);
  return 0;
}

// set-text HWND ID TEXT: a dialog control's text, set as one typed into
// it would leave it (any script: a user's keyboard or input method can
// give what the virtual display's keyboard cannot type).
int SetText(const std::vector<std::wstring>& args) {
  if (args.size() != 3) return 2;
  HWND control = GetDlgItem(ParseWindow(args[0]), ParseInt(args[1]));
  if (!control) return Fail(L"no control " + args[1]);
  // The system carries the text of WM_SETTEXT into the other process.
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[2].c_str()), SMTO_ABORTIFHUNG, 5000,
                           &ignored))
    return Fail(L"the dialog did not take the text");
  return 0;
}

// rect HWND: the window's rectangle and its client area, in screen
// coordinates: left top width height client-left client-top client-width client-height.
int PrintRect(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  HWND window = ParseWindow(args[0]);
  RECT outer, client;
  if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return Fail(L"no such window");
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  wchar_t line[160];
  std::swprintf(line, 160, L"%ld %ld %ld %ld %ld %ld %ld %ld", outer.left, outer.top, outer.right - outer.left,
                outer.bottom - outer.top, origin.x, origin.y, client.right, client.bottom);
  Print(line);
  return 0;
}

// xwindow HWND: the X11 window Wine shows a top-level window in, in decimal
// as xdotool takes it; 0 where there is none.
int XWindow(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  const auto id = reinterpret_cast<uintptr_t>(GetPropW(ParseWindow(args[0]), L"__wine_x11_whole_window"));
  Print(std::to_wstring(id));
  return id ? 0 : 1;
}

// place HWND LEFT TOP WIDTH HEIGHT: moves and sizes a top-level window
// (without a window manager nobody else can).
int Place(const std::vector<std::wstring>& args) {
  if (args.size() != 5) return 2;
  if (!SetWindowPos(ParseWindow(args[0]), nullptr, ParseInt(args[1]), ParseInt(args[2]), ParseInt(args[3]),
                    ParseInt(args[4]), SWP_NOZORDER | SWP_NOACTIVATE))
    return Fail(L"the window could not be placed");
  return 0;
}

// screen: the primary screen's width and height as Windows sees them.
int Screen(const std::vector<std::wstring>&) {
  Print(std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" " + std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
  return 0;
}

// visible HWND: 1 or 0.
int Visible(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  Print(IsWindowVisible(ParseWindow(args[0])) ? L"1" : L"0");
  return 0;
}

// child HWND ID-or-CLASS: the child with that identifier (a number) or of that class.
int FindChild(const std::vector<std::wstring>& args) {
  if (args.size() != 2) return 2;
  const bool byId = !args[1].empty() && iswdigit(args[1][0]);
  for (HWND child : ChildWindows(ParseWindow(args[0]))) {
    if (byId ? GetDlgCtrlID(child) == ParseInt(args[1]) : ClassOf(child) == args[1]) {
      Print(Hex(child));
      return 0;
    }
  }
  return Fail(L"no child " + args[1]);
}

// status HWND [PART]: a status bar's text: in simple mode the simple text
// (asked for as part 255, the simple part's identifier, and where a status
// bar answers nothing for that, as part 0, which Wine's gives the simple
// text for), else its first part's; with PART, that part's.
int StatusText(const std::vector<std::wstring>& args) {
  if (args.size() != 1 && args.size() != 2) return 2;
  HWND bar = ParseWindow(args[0]);
  WPARAM part = args.size() == 2 ? static_cast<WPARAM>(ParseInt(args[1])) : 0;
  if (args.size() == 1 && SendMessageW(bar, SB_ISSIMPLE, 0, 0) &&
      LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 255, 0)) != 0)
    part = 255;
  const size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
  RemoteBuffer buffer(bar, (length + 1) * sizeof(wchar_t));
  if (!buffer.ok()) return Fail(L"cannot reach the status bar's process");
  SendMessageW(bar, SB_GETTEXTW, part, buffer.address());
  std::wstring text(length + 1, L'\0');
  buffer.Read(&text[0], text.size() * sizeof(wchar_t));
  text.resize(std::wcslen(text.c_str()));
  Print(text);
  return 0;
}

// button HWND-OF-TOOLBAR COMMAND: the screen point at the centre of the
// toolbar button of that command.
int ToolbarButton(const std::vector<std::wstring>& args) {
  if (args.size() != 2) return 2;
  HWND toolbar = ParseWindow(args[0]);
  const LRESULT index = SendMessageW(toolbar, TB_COMMANDTOINDEX, ParseInt(args[1]), 0);
  if (index < 0) return Fail(L"no button of command " + args[1]);
  RemoteBuffer buffer(toolbar, sizeof(RECT));
  RECT rect = {};
  if (!buffer.ok() || !SendMessageW(toolbar, TB_GETITEMRECT, index, buffer.address()) || !buffer.Read(&rect, sizeof rect))
    return Fail(L"cannot read the button's place");
  POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(toolbar, &centre);
  Print(std::to_wstring(centre.x) + L" " + std::to_wstring(centre.y));
  return 0;
}

// ---- Clipboard ----

// The size of a packed bitmap's header and colour table or masks.
size_t HeaderAndTableSize(const BITMAPINFOHEADER& header) {
  size_t size = header.biSize;
  if (header.biBitCount <= 8) size += 4 * (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount);
  if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER)) size += 12;
  return size;
}

size_t RowsSize(const BITMAPINFOHEADER& header) {
  const size_t row = (static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  return row * static_cast<size_t>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
}

bool OpenClipboardPatiently() {
  return WaitFor(5000, [] { return OpenClipboard(nullptr) != FALSE; });
}

// clipboard-save FILE: the clipboard's CF_DIB (rendered by its owner on
// request) as a BMP file. Fails when there is none.
int ClipboardSave(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  if (!OpenClipboardPatiently()) return Fail(L"the clipboard cannot be opened");
  HGLOBAL memory = GetClipboardData(CF_DIB);
  const auto* dib = memory ? static_cast<const uint8_t*>(GlobalLock(memory)) : nullptr;
  if (!dib) {
    CloseClipboard();
    return Fail(L"no bitmap on the clipboard");
  }
  const auto& header = *reinterpret_cast<const BITMAPINFOHEADER*>(dib);
  const size_t size = HeaderAndTableSize(header) + RowsSize(header);
  int status = 0;
  if (size > GlobalSize(memory)) {
    status = Fail(L"the clipboard's bitmap is shorter than its header says");
  } else {
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(sizeof file + size);
    file.bfOffBits = static_cast<DWORD>(sizeof file + HeaderAndTableSize(header));
    FILE* out = _wfopen(args[0].c_str(), L"wb");
    if (!out || std::fwrite(&file, sizeof file, 1, out) != 1 || std::fwrite(dib, size, 1, out) != 1)
      status = Fail(L"cannot write " + args[0]);
    if (out) std::fclose(out);
  }
  GlobalUnlock(memory);
  CloseClipboard();
  return status;
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  FILE* in = _wfopen(path.c_str(), L"rb");
  if (!in) return bytes;
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(in);
  return bytes;
}

// clipboard-put FILE.bmp: the bitmap of a BMP file as CF_DIB, owned by nobody.
int ClipboardPut(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  const std::vector<uint8_t> file = ReadWholeFile(args[0]);
  if (file.size() <= sizeof(BITMAPFILEHEADER) || file[0] != 'B' || file[1] != 'M')
    return Fail(L"not a BMP file: " + args[0]);
  const size_t size = file.size() - sizeof(BITMAPFILEHEADER);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return Fail(L"out of memory");
  std::memcpy(GlobalLock(memory), file.data() + sizeof(BITMAPFILEHEADER), size);
  GlobalUnlock(memory);
  if (!OpenClipboardPatiently()) {
    GlobalFree(memory);
    return Fail(L"the clipboard cannot be opened");
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_DIB, memory) != nullptr;
  CloseClipboard();
  if (!set) {
    GlobalFree(memory);
    return Fail(L"the clipboard did not take the bitmap");
  }
  return 0;
}

// clipboard-owner: the owning window's handle and class, and whether a
// bitmap is offered.
int ClipboardOwner(const std::vector<std::wstring>&) {
  HWND owner = GetClipboardOwner();
  Print(Hex(owner) + L"\t" + (owner ? ClassOf(owner) : L"-") + L"\t" +
        (IsClipboardFormatAvailable(CF_DIB) ? L"dib" : L"no-dib"));
  return 0;
}

// wait-clipboard TIMEOUT: until a bitmap is offered on the clipboard.
int WaitClipboard(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  if (!WaitFor(ParseInt(args[0]), [] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }))
    return Fail(L"no bitmap came on the clipboard");
  return 0;
}

// clipboard-clear
int ClipboardClear(const std::vector<std::wstring>&) {
  if (!OpenClipboardPatiently()) return Fail(L"the clipboard cannot be opened");
  EmptyClipboard();
  CloseClipboard();
  return 0;
}

// ---- Wallpaper ----

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
const wchar_t* const kWallpaperValues[] = {L"WallpaperOriginX", L"WallpaperOriginY", L"TileWallpaper",
                                           L"WallpaperStyle", L"Wallpaper"};

// wallpaper: NAME=VALUE for each of the desktop's wallpaper values ("NAME
// absent" for a missing one, "NAME type N" for one that is not text), then
// file=the path the viewer writes its wallpaper bitmap to.
int Wallpaper(const std::vector<std::wstring>&) {
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key);
  for (const wchar_t* name : kWallpaperValues) {
    wchar_t value[1024] = {};
    DWORD type = 0, size = sizeof value - sizeof(wchar_t);
    if (!key || RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
      Print(std::wstring(name) + L" absent");
    else if (type != REG_SZ && type != REG_EXPAND_SZ)
      Print(std::wstring(name) + L" type " + std::to_wstring(type));
    else
      Print(std::wstring(name) + L"=" + value);
  }
  if (key) RegCloseKey(key);
  wchar_t windows[MAX_PATH] = {}, user[MAX_PATH] = {};
  DWORD userLength = MAX_PATH;
  GetWindowsDirectoryW(windows, MAX_PATH);
  GetUserNameW(user, &userLength);
  std::wstring folder = windows;
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  Print(L"file=" + folder + L"Susie_" + user + L"_WP.BMP");
  return 0;
}

// wallpaper-style VALUE|-: sets the desktop's WallpaperStyle (as text) or,
// with "-", deletes it; removes the other values the viewer writes.
int WallpaperStyle(const std::vector<std::wstring>& args) {
  if (args.size() != 1) return 2;
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return Fail(L"cannot open the desktop's key");
  for (const wchar_t* name : {L"WallpaperOriginX", L"WallpaperOriginY", L"TileWallpaper", L"WallpaperStyle"})
    RegDeleteValueW(key, name);
  if (args[0] != L"-")
    RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(args[0].c_str()),
                   static_cast<DWORD>((args[0].size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return 0;
}

// ---- Dropping files ----

// drop HWND POINT-X POINT-Y FILE...: what the shell hands a window that
// accepts files when they are dropped on it: a DROPFILES block with the
// names, at a client point. The block is written into the receiving
// process, as the shell's own drop puts it there, and posted as WM_DROPFILES.
int Drop(const std::vector<std::wstring>& args) {
  if (args.size() < 4) return 2;
  HWND window = ParseWindow(args[0]);
  std::vector<uint8_t> block(sizeof(DROPFILES));
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->pt = {ParseInt(args[1]), ParseInt(args[2])};
  header->fNC = FALSE;
  header->fWide = TRUE;
  for (size_t i = 3; i < args.size(); ++i) {
    const auto* name = reinterpret_cast<const uint8_t*>(args[i].c_str());
    block.insert(block.end(), name, name + (args[i].size() + 1) * sizeof(wchar_t));
  }
  block.insert(block.end(), sizeof(wchar_t), 0);  // the list's end
  RemoteBuffer remote(window, block.size());
  if (!remote.ok() || !remote.Write(block.data(), block.size())) return Fail(L"cannot reach the window's process");
  if (!PostMessageW(window, WM_DROPFILES, static_cast<WPARAM>(remote.address()), 0))
    return Fail(L"the drop could not be posted");
  // The receiver ends the drop with DragFinish, which frees the block.
  remote.HandOver();
  return 0;
}

// ---- Printing ----

// add-printer NAME PPD PORT: a PostScript printer of Wine's own driver,
// described by the PPD file, whose jobs go to PORT (for Wine, "|command"
// pipes them into a command, a path writes them to that file). Becomes the
// default printer.
int AddFilePrinter(const std::vector<std::wstring>& args) {
  if (args.size() != 3) return 2;
  std::wstring name = args[0], ppd = args[1], port = args[2];
  std::wstring driverPath = L"wineps.drv", raw = L"RAW", processor = L"WinPrint";
  DRIVER_INFO_3W driver = {};
  driver.cVersion = 3;
  driver.pName = &name[0];
  driver.pDriverPath = &driverPath[0];
  driver.pDataFile = &ppd[0];
  driver.pConfigFile = &driverPath[0];
  driver.pDefaultDataType = &raw[0];
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
    return Fail(L"the printer driver could not be added: error " + std::to_wstring(GetLastError()));
  PRINTER_INFO_2W printer = {};
  printer.pPrinterName = &name[0];
  printer.pPortName = &port[0];
  printer.pDriverName = &name[0];
  printer.pPrintProcessor = &processor[0];
  printer.pDatatype = &raw[0];
  printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (!added && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS)
    return Fail(L"the printer could not be added: error " + std::to_wstring(GetLastError()));
  if (added) ClosePrinter(added);
  SetDefaultPrinterW(name.c_str());
  return 0;
}

// ---- Timing ----

// drag-speed VIEW X Y DX DY STEPS: presses the left button at client point
// (X, Y) of the view, then moves STEPS times by (DX, DY) with the button
// held, each move followed by the repaint it causes, and releases. Prints
// the steps, the milliseconds they took and the steps per second.
int DragSpeed(const std::vector<std::wstring>& args) {
  if (args.size() != 6 && args.size() != 7) return 2;
  const bool paint = args.size() == 6;  // a seventh argument leaves painting out, for comparison
  HWND view = ParseWindow(args[0]);
  int x = ParseInt(args[1]), y = ParseInt(args[2]);
  const int dx = ParseInt(args[3]), dy = ParseInt(args[4]), steps = ParseInt(args[5]);
  SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  RedrawWindow(view, nullptr, nullptr, RDW_UPDATENOW);
  int unpainted = 0;
  const auto start = Clock::now();
  for (int i = 0; i < steps; ++i) {
    x += dx;
    y += dy;
    SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    // Sends the pending WM_PAINT and returns once it has been handled.
    if (paint) RedrawWindow(view, nullptr, nullptr, RDW_UPDATENOW);
    if (GetUpdateRect(view, nullptr, FALSE)) ++unpainted;
  }
  const double milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  wchar_t line[160];
  std::swprintf(line, 160, L"steps=%d ms=%.1f per-step-ms=%.2f fps=%.1f unpainted-after-step=%d", steps, milliseconds,
                milliseconds / steps, steps * 1000.0 / milliseconds, unpainted);
  Print(line);
  return 0;
}

struct Command {
  const wchar_t* name;
  int (*run)(const std::vector<std::wstring>&);
};

const Command kCommands[] = {
    {L"windows", ListWindows},
    {L"wait-window", WaitWindow},
    {L"wait-gone", WaitGone},
    {L"wait-title", WaitTitle},
    {L"sync", Sync},
    {L"text", PrintText},
    {L"controls", ListControls},
    {L"resource-text", ResourceText},
    {L"menu-reference", ShowMenuReference},
    {L"menu-reference-close", HideMenuReference},
    {L"click", ClickButton},
    {L"set-text", SetText},
    {L"rect", PrintRect},
    {L"child", FindChild},
    {L"xwindow", XWindow},
    {L"visible", Visible},
    {L"place", Place},
    {L"screen", Screen},
    {L"status", StatusText},
    {L"button", ToolbarButton},
    {L"clipboard-save", ClipboardSave},
    {L"clipboard-put", ClipboardPut},
    {L"clipboard-owner", ClipboardOwner},
    {L"clipboard-clear", ClipboardClear},
    {L"wait-clipboard", WaitClipboard},
    {L"wallpaper", Wallpaper},
    {L"wallpaper-style", WallpaperStyle},
    {L"drop", Drop},
    {L"add-printer", AddFilePrinter},
    {L"drag-speed", DragSpeed},
};

int RunCommand(const std::wstring& name, const std::vector<std::wstring>& args) {
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    const int status = command.run(args);
    if (status == 2) std::fputs(("trellin_driver: wrong arguments for " + Utf8(name) + "\n").c_str(), stderr);
    return status;
  }
  std::fputs(("trellin_driver: no command " + Utf8(name) + "\n").c_str(), stderr);
  return 2;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size);
  return out;
}

// serve: commands from standard input, one a line in UTF-8 with the
// arguments separated by tabs; after each command's output a line of the
// character 0x01 followed by its exit code. Ends with the input. Spares
// the caller a program start per command.
int Serve() {
  std::string line;
  int c;
  for (;;) {
    line.clear();
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) return 0;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::wstring> words;
    size_t start = 0;
    for (;;) {
      const size_t tab = line.find('\t', start);
      words.push_back(FromUtf8(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    const int status = words[0].empty() ? 2 : RunCommand(words[0], {words.begin() + 1, words.end()});
    std::fprintf(stdout, "\x01%d\n", status);
    std::fflush(stdout);
  }
}

}  // namespace

int main() {
  // Lines end in \n alone, as the calling script reads them.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv || count < 2) {
    std::fputs("usage: trellin_driver serve | COMMAND ARGUMENTS...\n", stderr);
    return 2;
  }
  const std::wstring name = argv[1];
  const std::vector<std::wstring> args(argv + 2, argv + count);
  LocalFree(argv);
  return name == L"serve" ? Serve() : RunCommand(name, args);
}
