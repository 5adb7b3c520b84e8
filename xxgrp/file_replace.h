// Puts a complete file in place of another, or leaves everything as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Puts the bytes in place of the target, or into a new file, always
// through a temporary file in the target's folder: a new file is written
// there whole and moved into place; an existing one is replaced whole,
// keeping its attributes and permissions; a file with other hard links
// gets the bytes where it is, so that every name sees them. A symbolic
// link stays a link: the file it names gets the bytes. A read-only file,
// a folder and a link to nothing are refused. On any failure an existing
// target keeps its contents and no temporary file is left (unless it
// holds the old bytes of a file that could not be put back). Returns an
// ImageWriterResult: 0, or 9 when the file cannot be created, written or
// put into place.
int32_t ReplaceWithNewFile(const std::wstring& path, const uint8_t* data, size_t size);
