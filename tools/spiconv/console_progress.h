// The progress line: shown only where standard output is a console, and
// rewritten in place there; a file or a pipe gets none of it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class ConsoleProgress {
 public:
  ConsoleProgress();
  // Shows "[done/total] name" over the line before.
  void Show(size_t done, size_t total, const std::string& name);
  // Blanks the line, before a file's line or at the end.
  void Clear();

 private:
  void Write(const std::string& text);

  HANDLE console_ = nullptr;
  size_t columns_ = 80;
  bool shown_ = false;
};
