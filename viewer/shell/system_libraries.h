// The system libraries the viewer uses that are not among Windows' known
// DLLs: version.dll (the About box reads the program's version block) and
// winspool.drv (printing). Imported, they would be looked for in the
// program's folder first, before the program can restrict the search, so
// a copy planted beside it in a downloads folder would run. They are
// loaded from the system folder instead, by full path, at first use; their
// calls are looked up once.
#pragma once

#include <windows.h>
// After windows.h, on which they build.
#include <winspool.h>
#include <winver.h>

struct VersionCalls {
  decltype(&::GetFileVersionInfoSizeW) GetFileVersionInfoSizeW;
  decltype(&::GetFileVersionInfoW) GetFileVersionInfoW;
  decltype(&::VerQueryValueW) VerQueryValueW;
};

struct PrintingCalls {
  decltype(&::OpenPrinterW) OpenPrinterW;
  decltype(&::ClosePrinter) ClosePrinter;
};

// The calls, or null when the library or one of them cannot be had.
const VersionCalls* VersionLibrary();
const PrintingCalls* PrintingLibrary();
