// The Windows Imaging Component on the test side: JPEG files to decode
// (we have no JPEG encoder of our own) and a second reader of the files
// the writer makes.
#pragma once

#include <string>

#include "tests/fixtures/picture.h"

// A JPEG file of a 3-byte (BGR) picture at the encoder's default quality.
Bytes EncodeJpeg(const Picture& bgr);
// The first frame of a file as BGR pixels, top row first; width 0 when it cannot be read.
Picture ReadBackBgr(const std::string& path);
// The container the imaging component recognises in a file: "bmp", "png", "jpeg" or "".
std::string ContainerOf(const std::string& path);
