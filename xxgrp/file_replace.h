// Puts a complete file in place of another, or leaves everything as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the bytes into a new temporary file in the target's folder and
// only then moves it over the target. On any failure the temporary file is
// removed and an existing target keeps its contents. Returns an
// ImageWriterResult: 0, or 9 when the file cannot be created, written or
// moved into place.
int32_t ReplaceWithNewFile(const std::wstring& path, const uint8_t* data, size_t size);
