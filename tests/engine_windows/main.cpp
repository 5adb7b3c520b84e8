// The engine's Windows tests; started with --read-clipboard FILE it is the
// second program of the clipboard tests instead.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/engine_windows/clipboard_reader.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--read-clipboard") == 0) return ReadClipboardInto(argv[2]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
