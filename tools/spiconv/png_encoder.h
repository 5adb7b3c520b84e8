// PNG files through the Windows Imaging Component's encoder. COM must be
// initialised on the calling thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tools/spiconv/png_rows.h"

// Encodes the rows as a PNG file into `file`: 32bppBGRA where the rows
// have alpha, 24bppBGR otherwise. Returns the imaging component's result;
// E_OUTOFMEMORY where no block could be had.
HRESULT EncodePng(const PngRows& rows, std::vector<uint8_t>* file);
