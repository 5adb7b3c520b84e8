// spiconv: a small Susie host of ours. It loads an image plug-in by path and
// converts image files into BMP files through the plug-in's exports:
//   spiconv PLUGIN OUTPUT-FOLDER IMAGE...
// and prints one line per image: name, size, depth and the result code.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "plugin/framework/susie_abi.h"

namespace {

struct Plugin {
  IsSupportedFn isSupported;
  GetPictureInfoFn getPictureInfo;
  GetPictureFn getPicture;
};

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The header and colour table that a BMP file keeps of the info block.
size_t InfoBytes(const BITMAPINFOHEADER* header, size_t blockSize) {
  size_t colours = header->biClrUsed;
  if (!colours && header->biBitCount <= 8) colours = size_t{1} << header->biBitCount;
  const size_t bytes = header->biSize + 4 * colours;
  return bytes < blockSize ? bytes : blockSize;
}

bool WriteBmp(const std::string& path, HLOCAL info, HLOCAL bits) {
  const auto* header = static_cast<const BITMAPINFOHEADER*>(LocalLock(info));
  const void* pixels = LocalLock(bits);
  const size_t infoBytes = InfoBytes(header, LocalSize(info));
  const size_t bitsBytes = LocalSize(bits);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = static_cast<DWORD>(sizeof file + infoBytes);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + bitsBytes);
  bool ok = false;
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(header, infoBytes, 1, out) == 1 &&
         (bitsBytes == 0 || std::fwrite(pixels, bitsBytes, 1, out) == 1);
    ok = std::fclose(out) == 0 && ok;
  }
  LocalUnlock(info);
  LocalUnlock(bits);
  return ok;
}

int Convert(const Plugin& plugin, const std::string& outputFolder, const std::string& path) {
  const std::string name = BaseName(path);
  char header[2048] = {};
  if (FILE* in = std::fopen(path.c_str(), "rb")) {
    std::fread(header, 1, sizeof header, in);
    std::fclose(in);
  } else {
    std::printf("%-24s cannot be read\n", name.c_str());
    return 1;
  }
  if (!plugin.isSupported(path.c_str(), header)) {
    std::printf("%-24s not supported\n", name.c_str());
    return 1;
  }
  PictureInfo info{};
  const int infoResult = plugin.getPictureInfo(path.c_str(), 0, 0, &info);
  HLOCAL infoBlock = nullptr, bitsBlock = nullptr;
  const int result = plugin.getPicture(path.c_str(), 0, 0, &infoBlock, &bitsBlock, nullptr, 0);
  int produced = 0;
  if (result == 0) {
    produced = static_cast<const BITMAPINFOHEADER*>(LocalLock(infoBlock))->biBitCount;
    LocalUnlock(infoBlock);
    const std::string bmp = outputFolder + "\\" + name + ".bmp";
    if (!WriteBmp(bmp, infoBlock, bitsBlock)) std::printf("%-24s cannot write %s\n", name.c_str(), bmp.c_str());
    LocalFree(infoBlock);
    LocalFree(bitsBlock);
  }
  std::printf("%-24s %6ld x %-6ld %2d bit (decoded %2d bit)  info %d  picture %d%s\n", name.c_str(),
              static_cast<long>(info.width), static_cast<long>(info.height), info.colorDepth, produced, infoResult,
              result, result == 0 ? "  ok" : "");
  return result == 0 && infoResult == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: spiconv PLUGIN OUTPUT-FOLDER IMAGE...\n");
    return 2;
  }
  HMODULE module = LoadLibraryA(argv[1]);
  if (!module) {
    std::fprintf(stderr, "spiconv: cannot load %s\n", argv[1]);
    return 2;
  }
  auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); };
  const Plugin plugin{reinterpret_cast<IsSupportedFn>(find("IsSupported")),
                      reinterpret_cast<GetPictureInfoFn>(find("GetPictureInfo")),
                      reinterpret_cast<GetPictureFn>(find("GetPicture"))};
  if (!plugin.isSupported || !plugin.getPictureInfo || !plugin.getPicture) {
    std::fprintf(stderr, "spiconv: %s is not a Susie image plug-in\n", argv[1]);
    return 2;
  }
  CreateDirectoryA(argv[2], nullptr);
  int failures = 0;
  for (int i = 3; i < argc; ++i) failures += Convert(plugin, argv[2], argv[i]);
  FreeLibrary(module);
  return failures ? 1 : 0;
}
