// The image writer of xxgrp.dll as its callers see it: GetModuleInstance
// hands out one ImageWriter, whose first word points to a table of three
// save operations with ANSI paths; GetImageWriterW hands out the same three
// taking UTF-16 paths. The caller includes this header too, so it uses
// only fixed-width types and needs no Windows header.
//
// Every operation is stdcall in the 32-bit build and takes the object as its
// first stack argument. That is not how a 32-bit C++ member function is
// called (thiscall passes the object in ECX), so the object is a plain
// struct and the table holds plain function pointers.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define XXGRP_CALL __stdcall
#else
#define XXGRP_CALL
#endif

// Result codes of the save operations. The gaps (1, 3, 6, 7, 10) belong to
// the shared table of result texts; no save returns them.
enum ImageWriterResult : int32_t {
  kWriterOk = 0,
  kWriterUnsupportedHeader = 2,  // a picture layout the writer cannot write
  kWriterOutOfMemory = 4,
  kWriterMemoryError = 5,    // no header or no pixels were passed
  kWriterInternalError = 8,  // COM or the imaging component failed
  kWriterWriteError = 9,     // the file could not be created, written or put in place
};

// Bits of the option argument. They describe what the file is for and
// change nothing in what is written: every file, wallpaper or not, is
// written completely or not at all. Unknown bits are ignored.
enum ImageWriterOption : int32_t {
  kWriterOptionSave = 0,       // a picture the user saves
  kWriterOptionWallpaper = 2,  // the bitmap the desktop shows as wallpaper
};

// Bits of the flags word that xxgrp.dll sets.
enum ImageWriterFlag : uint32_t {
  // The table goes on after its three operations with the three wide ones
  // (ImageWriterWideTable). Set for viewers of the earlier release, which
  // look for the wide saves so. No caller should: the flags word belongs
  // to whichever writer is installed, and one with three entries may set
  // this bit for reasons of its own. GetImageWriterW is asked instead.
  kWriterFlagWidePaths = 1u << 2,
};

struct ImageWriter;

// (object, path, option, header, pixels) -> result.
//   path:   zero-terminated ANSI path of the file to create or replace;
//   header: a 40-byte BITMAPINFOHEADER, BI_RGB, 24 or 32 bits per pixel
//           (the fourth byte of a 32-bit pixel is not written); a positive
//           height means rows bottom-up, a negative one top-down;
//   pixels: the rows, each padded to a multiple of 4 bytes.
// Neither pointer is kept after the call returns.
using ImageWriterSaveFn = int32_t(XXGRP_CALL*)(ImageWriter* writer, const char* path, int32_t option,
                                               const void* header, const void* pixels);

// The same with the path in UTF-16 (wchar_t is 16 bits on Windows).
using ImageWriterSaveWideFn = int32_t(XXGRP_CALL*)(ImageWriter* writer, const wchar_t* path, int32_t option,
                                                   const void* header, const void* pixels);

struct ImageWriterTable {
  ImageWriterSaveFn SaveBmp;
  ImageWriterSaveFn SavePng;
  ImageWriterSaveFn SaveJpeg;
};

// The saves for a path that the ANSI code page cannot hold.
struct ImageWriterWideSaves {
  ImageWriterSaveWideFn SaveBmpW;
  ImageWriterSaveWideFn SavePngW;
  ImageWriterSaveWideFn SaveJpegW;
};

// xxgrp.dll's whole table: the three, then the wide ones.
struct ImageWriterWideTable {
  ImageWriterTable ansi;
  ImageWriterWideSaves wide;
};

struct ImageWriter {
  const ImageWriterTable* table;
  // Flags. The writer sets kWriterFlagWidePaths and never reads the word;
  // bits 0 and 1 are the caller's, which the viewer clears when it binds
  // the library.
  uint32_t flags;
};

// The export that hands out the writer. Its argument is reserved: pass 0.
using GetModuleInstanceFn = ImageWriter*(XXGRP_CALL*)(uint32_t reserved);

// The export that hands out the wide saves of the writer that
// GetModuleInstance gave; null for any other object. A writer's library
// without it takes ANSI paths only.
constexpr char kGetImageWriterW[] = "GetImageWriterW";
using GetImageWriterWFn = const ImageWriterWideSaves*(XXGRP_CALL*)(const ImageWriter* writer);

static_assert(offsetof(ImageWriter, table) == 0, "the table pointer is the object's first word");
static_assert(offsetof(ImageWriter, flags) == sizeof(void*), "the flags word follows the table pointer");
static_assert(sizeof(ImageWriterTable) == 3 * sizeof(void*), "three operations, in the order BMP, PNG, JPEG");
static_assert(offsetof(ImageWriterWideTable, wide) == 3 * sizeof(void*), "the wide operations follow");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ImageWriter) == 8, "32-bit: table pointer and flags word");
#endif
