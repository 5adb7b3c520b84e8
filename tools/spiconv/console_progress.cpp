#include "tools/spiconv/console_progress.h"

#include <cstdio>

#include "platform/windows/text.h"
#include "tools/spiconv/report.h"

ConsoleProgress::ConsoleProgress() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == INVALID_HANDLE_VALUE || !output || !GetConsoleMode(output, &mode)) return;
  console_ = output;
  CONSOLE_SCREEN_BUFFER_INFO screen;
  if (GetConsoleScreenBufferInfo(output, &screen) && screen.dwSize.X > 0) columns_ = static_cast<size_t>(screen.dwSize.X);
}

void ConsoleProgress::Show(size_t done, size_t total, const std::string& name) {
  if (!console_) return;
  Write("\r" + ProgressText(done, total, name, columns_) + "\r");
  shown_ = true;
}

void ConsoleProgress::Clear() {
  if (!console_ || !shown_) return;
  Write("\r" + std::string(columns_ > 1 ? columns_ - 1 : 0, ' ') + "\r");
  shown_ = false;
}

void ConsoleProgress::Write(const std::string& text) {
  std::fflush(stdout);
  const std::wstring wide = platform::Utf16(text);
  DWORD written = 0;
  WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}
