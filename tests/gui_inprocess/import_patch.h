// Puts a replacement in place of a function that this test program imports
// from a system DLL, for the lifetime of the object. The viewer's code is
// linked into the program, so its calls reach the replacement: the tests
// make a call fail where a real failure cannot be arranged, or see the
// arguments of a call.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ImportPatch {
 public:
  // `dll` as the program imports it ("user32.dll"), any letter case.
  ImportPatch(const char* dll, const char* function, void* replacement);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  // False when the program does not import the function.
  bool Active() const { return slot_ != nullptr; }
  void* original() const { return original_; }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

// A message box the viewer asked for; its texts in UTF-8.
struct ShownMessage {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};

// While it lives, the viewer's message boxes are noted instead of shown,
// each answered with OK.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  const std::vector<ShownMessage>& shown() const { return shown_; }

 private:
  static int WINAPI Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
  ImportPatch patch_;
  std::vector<ShownMessage> shown_;
};
