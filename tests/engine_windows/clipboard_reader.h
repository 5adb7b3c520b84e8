// The other program of the clipboard tests: this test program started
// again with --read-clipboard, which asks the clipboard for CF_DIB, as any
// program pasting a picture does, and writes what it gets to a file.
#pragma once

#include "tests/fixtures/picture.h"

// Runs the reader and answers the rendering requests it causes until it
// ends; the bitmap it got, or nothing.
Bytes ReadClipboardInAnotherProcess();
// The reader's own work; the process's exit code.
int ReadClipboardInto(const char* path);
