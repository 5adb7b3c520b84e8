// spiconv: a small Susie host of ours. It loads an image plug-in by path and
// converts image files into BMP files through the plug-in's exports:
//   spiconv PLUGIN OUTPUT-FOLDER IMAGE...
// and prints one line per image: name, size, depth and the result code.
// Paths may be in any script: a file that no ANSI path names is handed to
// the plug-in in memory.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/susie_abi.h"
#include "platform/windows/text.h"

namespace {

struct Plugin {
  IsSupportedFn isSupported;
  GetPictureInfoFn getPictureInfo;
  GetPictureFn getPicture;
};

std::wstring BaseName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::optional<std::vector<char>> ReadWholeFile(const std::wstring& path) {
  FILE* in = _wfopen(path.c_str(), L"rb");
  if (!in) return std::nullopt;
  std::vector<char> bytes;
  char chunk[65536];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(in);
  return bytes;
}

// The header and colour table that a BMP file keeps of the info block.
size_t InfoBytes(const BITMAPINFOHEADER* header, size_t blockSize) {
  size_t colours = header->biClrUsed;
  if (!colours && header->biBitCount <= 8) colours = size_t{1} << header->biBitCount;
  const size_t bytes = header->biSize + 4 * colours;
  return bytes < blockSize ? bytes : blockSize;
}

bool WriteBmp(const std::wstring& path, HLOCAL info, HLOCAL bits) {
  const auto* header = static_cast<const BITMAPINFOHEADER*>(LocalLock(info));
  const void* pixels = LocalLock(bits);
  const size_t infoBytes = InfoBytes(header, LocalSize(info));
  const size_t bitsBytes = LocalSize(bits);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = static_cast<DWORD>(sizeof file + infoBytes);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + bitsBytes);
  bool ok = false;
  if (FILE* out = _wfopen(path.c_str(), L"wb")) {
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(header, infoBytes, 1, out) == 1 &&
         (bitsBytes == 0 || std::fwrite(pixels, bitsBytes, 1, out) == 1);
    ok = std::fclose(out) == 0 && ok;
  }
  LocalUnlock(info);
  LocalUnlock(bits);
  return ok;
}

void Say(const std::string& line) { platform::WriteText(stdout, line + "\n"); }

// The name padded to the width of the first column.
std::string Column(const std::wstring& name) {
  std::string text = platform::Utf8(name);
  if (name.size() < 24) text.append(24 - name.size(), ' ');
  return text;
}

// The file by its ANSI path where one names it, otherwise in memory.
struct Answers {
  int supported = 0;
  int info = 0;
  int picture = 0;
};

Answers Ask(const Plugin& plugin, const std::wstring& path, const std::vector<char>& bytes, PictureInfo* info,
            HLOCAL* infoBlock, HLOCAL* bitsBlock) {
  std::vector<char> header(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 2048));
  header.resize(2048);
  Answers answers;
  if (const std::optional<std::string> ansi = platform::AnsiPathOf(path)) {
    answers.supported = plugin.isSupported(ansi->c_str(), header.data());
    if (!answers.supported) return answers;
    answers.info = plugin.getPictureInfo(ansi->c_str(), 0, 0, info);
    answers.picture = plugin.getPicture(ansi->c_str(), 0, 0, infoBlock, bitsBlock, nullptr, 0);
    return answers;
  }
  const std::string name = platform::ToAnsiLossy(path);  // only its extension counts
  const auto length = static_cast<SpiLongPtr>(bytes.size());
  answers.supported = plugin.isSupported(name.c_str(), header.data());
  if (!answers.supported) return answers;
  answers.info = plugin.getPictureInfo(bytes.data(), length, 1, info);
  answers.picture = plugin.getPicture(bytes.data(), length, 1, infoBlock, bitsBlock, nullptr, 0);
  return answers;
}

int Convert(const Plugin& plugin, const std::wstring& outputFolder, const std::wstring& path) {
  const std::wstring name = BaseName(path);
  const std::optional<std::vector<char>> bytes = ReadWholeFile(path);
  if (!bytes) {
    Say(Column(name) + " cannot be read");
    return 1;
  }
  PictureInfo info{};
  HLOCAL infoBlock = nullptr, bitsBlock = nullptr;
  const Answers answers = Ask(plugin, path, *bytes, &info, &infoBlock, &bitsBlock);
  if (!answers.supported) {
    Say(Column(name) + " not supported");
    return 1;
  }
  // A plug-in that answers 0 must hand over a header and pixels, apart;
  // after any other answer the handles are the plug-in's.
  const bool handedOver = answers.picture == 0 && infoBlock && bitsBlock && infoBlock != bitsBlock &&
                          LocalSize(infoBlock) >= sizeof(BITMAPINFOHEADER);
  if (answers.picture == 0 && !handedOver) {
    Say(Column(name) + " decoded, but no header and pixels were handed over");
    if (infoBlock) LocalFree(infoBlock);
    if (bitsBlock && bitsBlock != infoBlock) LocalFree(bitsBlock);
    return 1;
  }
  int produced = 0;
  if (answers.picture == 0) {
    produced = static_cast<const BITMAPINFOHEADER*>(LocalLock(infoBlock))->biBitCount;
    LocalUnlock(infoBlock);
    const std::wstring bmp = outputFolder + L"\\" + name + L".bmp";
    if (!WriteBmp(bmp, infoBlock, bitsBlock)) Say(Column(name) + " cannot write " + platform::Utf8(bmp));
    LocalFree(infoBlock);
    LocalFree(bitsBlock);
  }
  char line[160];
  std::snprintf(line, sizeof line, " %6ld x %-6ld %2d bit (decoded %2d bit)  info %d  picture %d%s",
                static_cast<long>(info.width), static_cast<long>(info.height), info.colorDepth, produced, answers.info,
                answers.picture, answers.picture == 0 ? "  ok" : "");
  Say(Column(name) + line);
  return answers.picture == 0 && answers.info == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    platform::WriteText(stderr, "usage: spiconv PLUGIN OUTPUT-FOLDER IMAGE...\n");
    return 2;
  }
  HMODULE module = LoadLibraryW(argv[1]);
  if (!module) {
    platform::WriteText(stderr, "spiconv: cannot load " + platform::Utf8(argv[1]) + "\n");
    return 2;
  }
  auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); };
  const Plugin plugin{reinterpret_cast<IsSupportedFn>(find("IsSupported")),
                      reinterpret_cast<GetPictureInfoFn>(find("GetPictureInfo")),
                      reinterpret_cast<GetPictureFn>(find("GetPicture"))};
  if (!plugin.isSupported || !plugin.getPictureInfo || !plugin.getPicture) {
    platform::WriteText(stderr, "spiconv: " + platform::Utf8(argv[1]) + " is not a Susie image plug-in\n");
    return 2;
  }
  CreateDirectoryW(argv[2], nullptr);
  int failures = 0;
  for (int i = 3; i < argc; ++i) failures += Convert(plugin, argv[2], argv[i]);
  FreeLibrary(module);
  return failures ? 1 : 0;
}
