#include "tests/xxgrp/writer_library.h"

#include <cstdio>
#include <cstdlib>

HMODULE XxgrpModule() {
  static const HMODULE module = [] {
    const char* path = std::getenv("XXGRP_DLL");
    HMODULE loaded = LoadLibraryA(path ? path : "xxgrp.dll");
    if (!loaded) {
      std::fprintf(stderr, "cannot load %s\n", path ? path : "xxgrp.dll");
      std::exit(2);
    }
    return loaded;
  }();
  return module;
}

GetModuleInstanceFn GetModuleInstanceExport() {
  return reinterpret_cast<GetModuleInstanceFn>(
      reinterpret_cast<void*>(GetProcAddress(XxgrpModule(), "GetModuleInstance")));
}

GetImageWriterWFn GetImageWriterWExport() {
  return reinterpret_cast<GetImageWriterWFn>(
      reinterpret_cast<void*>(GetProcAddress(XxgrpModule(), kGetImageWriterW)));
}

#if defined(__i386__)
StackCall CallWithStackArguments(const void* function, const uint32_t* arguments, uint32_t count) {
  StackCall call;
  uint32_t counter = count;  // ECX: the argument count going in, the bytes left coming out
  // ESI keeps the stack pointer across the call: a stdcall function
  // preserves it, and the difference afterwards is what it did not pop.
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "1:\n\t"
      "pushl -4(%%edi,%%ecx,4)\n\t"
      "loop 1b\n\t"
      "2:\n\t"
      "call *%%ebx\n\t"
      "movl %%esi, %%ecx\n\t"
      "subl %%esp, %%ecx\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(call.result), "+c"(counter)
      : "b"(function), "D"(arguments)
      : "edx", "esi", "memory", "cc");
  call.bytesLeft = counter;
  return call;
}
#endif
