// Recognises the picture formats this library decodes by their first bytes,
// without the imaging component, so that a host can ask cheaply.
#pragma once

#include "base/bytes.h"

// True when the bytes begin like a BMP, PNG, JPEG, GIF, TIFF or ICO file.
// Looks at no more than the first 32 bytes.
bool HasKnownSignature(ByteSpan header);
