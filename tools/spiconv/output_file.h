// Putting a converted picture in place: the folders it goes into, and a
// whole file or none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Creates the folder and every folder above it that is missing. False when
// one cannot be made.
bool MakeFolders(const std::wstring& folder);

// Writes the bytes into a new temporary file beside the target and only
// then moves it over the target, so that a failed write never leaves a
// half-written file and an existing target stays as it was. A read-only
// target is refused, as Windows refuses to replace it (Wine would).
bool ReplaceWithFile(const std::wstring& path, const uint8_t* data, size_t size);
