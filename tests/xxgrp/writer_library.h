// xxgrp.dll's writer as the viewer binds it: the library named by XXGRP_DLL
// (the Susie exports come through tests/support/plugin_api.h, which the
// build points at the same variable), GetModuleInstance called with 0 and
// GetImageWriterW with the writer it gave.
#pragma once

#include <windows.h>

#include "xxgrp/image_writer_abi.h"

HMODULE XxgrpModule();
GetModuleInstanceFn GetModuleInstanceExport();
GetImageWriterWFn GetImageWriterWExport();

#if defined(__i386__)
// Calls a function with `count` 32-bit stack arguments the way a stdcall
// caller does (pushed right to left, nothing removed afterwards) and
// reports how many bytes of arguments the function left on the stack:
// 0 when it removed its own arguments, as stdcall requires.
struct StackCall {
  uint32_t result;
  uint32_t bytesLeft;
};
StackCall CallWithStackArguments(const void* function, const uint32_t* arguments, uint32_t count);
#endif
