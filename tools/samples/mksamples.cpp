// Writes our sample pictures, in every format the plug-in reads:
//   mksamples FOLDER           the samples that `make run` converts
//   mksamples --small FOLDER   small seed files for the fuzzers, named
//                              after the decoder they are for
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "tests/fixtures/all_samples.h"

namespace {

bool Save(const std::string& folder, const std::string& name, const Bytes& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const bool small = argc == 3 && std::strcmp(argv[1], "--small") == 0;
  if (argc != 2 && !small) {
    std::fprintf(stderr, "usage: mksamples [--small] FOLDER\n");
    return 2;
  }
  const std::string folder = argv[argc - 1];
  for (const auto& [name, bytes] : small ? AllSeeds() : AllSamples()) {
    if (!Save(folder, name, bytes)) {
      std::fprintf(stderr, "mksamples: cannot write %s/%s\n", folder.c_str(), name.c_str());
      return 1;
    }
  }
  return 0;
}
