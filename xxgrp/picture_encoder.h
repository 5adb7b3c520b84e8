// Encoding a picture through the Windows Imaging Component into a stream.
#pragma once

#include <wincodec.h>

#include "xxgrp/dib_rows.h"

// JPEG quality, 0 to 1: high enough that photographs and screen pictures
// keep no visible blocks, at about a fifth of the size of a BMP.
constexpr float kJpegQuality = 0.9f;

// Writes the picture as 24-bit BGR in the container format (BMP, PNG or
// JPEG) into `out`. Returns an ImageWriterResult: 4 when memory runs out,
// 8 when the imaging component fails.
int32_t EncodePicture(const GUID& container, const DibRows& rows, IStream* out);
