#include "tests/engine_windows/clipboard_reader.h"

#include <windows.h>

#include <string>

#include "tests/engine_windows/support.h"

Bytes ReadClipboardInAnotherProcess() {
  const std::string out = NewFolder("clipboard") + "\\dib.bin";
  DeleteFileA(out.c_str());
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string command = std::string("\"") + program + "\" --read-clipboard \"" + out + "\"";
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return {};
  // The reader's request reaches the owner window as a sent message, which
  // is delivered while this thread waits for messages.
  const DWORD deadline = GetTickCount() + 120000;
  while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 1000, QS_ALLINPUT) != WAIT_OBJECT_0 &&
         GetTickCount() < deadline) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ReadFileBytes(out);
}

int ReadClipboardInto(const char* path) {
  for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
  HGLOBAL memory = GetClipboardData(CF_DIB);
  if (!memory) return 1;
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  // The bitmap's own length: a block may be larger than asked for.
  const size_t rows = ((header->biWidth * header->biBitCount + 31) / 32) * 4 * std::abs(header->biHeight);
  WriteFileBytes(path, Bytes(bytes, bytes + header->biSize + rows));
  GlobalUnlock(memory);
  CloseClipboard();
  return 0;
}
