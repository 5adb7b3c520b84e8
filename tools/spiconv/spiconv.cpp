// spiconv: a small Susie host of ours. It loads an image plug-in by path and
// converts pictures through the plug-in's exports into PNG files, alpha
// kept, or BMP files as the plug-in hands them over:
//   spiconv [-r] [--format png|bmp] [--memory] PLUGIN OUTPUT-FOLDER INPUT...
// An input is a file or a folder; a folder gives its own files, with -r
// every file of its tree, and its structure is kept under the output
// folder. One line per file (name, size, depth, result codes), then a
// summary; the exit code is 0 only when no file failed. Paths may be in
// any script: a file that no ANSI path names is handed to the plug-in in
// memory.
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/sizes.h"
#include "base/susie_abi.h"
#include "platform/windows/text.h"
#include "tools/spiconv/batch_plan.h"
#include "tools/spiconv/bmp_bytes.h"
#include "tools/spiconv/console_progress.h"
#include "tools/spiconv/file_bytes.h"
#include "tools/spiconv/output_file.h"
#include "tools/spiconv/png_encoder.h"
#include "tools/spiconv/png_rows.h"
#include "tools/spiconv/report.h"
#include "tools/spiconv/windows_files.h"

namespace {

using platform::Utf8;

constexpr char kUsage[] =
    "usage: spiconv [-r] [--format png|bmp] [--memory] PLUGIN OUTPUT-FOLDER INPUT...\n"
    "Converts pictures through a Susie image plug-in (.spi for the 32-bit spiconv,\n"
    ".sph for the 64-bit one). INPUT is a picture or a folder: a folder gives its own\n"
    "files, with -r every file of its tree, and its folders are made again under\n"
    "OUTPUT-FOLDER. Each picture NAME is written as NAME.png (the default: alpha kept)\n"
    "or NAME.bmp (the bitmap as the plug-in hands it over). --memory hands every file\n"
    "to the plug-in in memory instead of by name. Prints one line per file and a\n"
    "summary; exits with 0 when no file failed, 1 when one did, 2 on a wrong call.\n";

enum class Format { Png, Bmp };

struct Options {
  bool recursive = false;
  bool memory = false;
  Format format = Format::Png;
  std::wstring plugin;
  std::wstring outputFolder;
  std::vector<std::wstring> inputs;
};

std::optional<Options> ParseOptions(int argc, wchar_t** argv) {
  Options options;
  int i = 1;
  for (; i < argc && argv[i][0] == L'-'; ++i) {
    const std::wstring option = argv[i];
    if (option == L"--") {  // what follows is no option, whatever its first character
      ++i;
      break;
    }
    if (option == L"-r" || option == L"--recursive") {
      options.recursive = true;
    } else if (option == L"--memory") {
      options.memory = true;
    } else if (option == L"--format" && i + 1 < argc && (argv[i + 1] == std::wstring(L"png") ||
                                                         argv[i + 1] == std::wstring(L"bmp"))) {
      options.format = argv[++i] == std::wstring(L"png") ? Format::Png : Format::Bmp;
    } else {
      return std::nullopt;
    }
  }
  if (argc - i < 3) return std::nullopt;
  options.plugin = FullPath(argv[i]);
  options.outputFolder = FullPath(argv[i + 1]);
  for (i += 2; i < argc; ++i) options.inputs.push_back(FullPath(argv[i]));
  return options;
}

struct Plugin {
  IsSupportedFn isSupported;
  GetPictureInfoFn getPictureInfo;
  GetPictureFn getPicture;
};

// A block the plug-in handed over, freed when it goes away.
class HandedBlock {
 public:
  HandedBlock() = default;
  ~HandedBlock() {
    if (block_) LocalFree(block_);
  }
  HandedBlock(const HandedBlock&) = delete;
  HandedBlock& operator=(const HandedBlock&) = delete;

  HLOCAL* Receive() { return &block_; }
  HLOCAL get() const { return block_; }
  // The plug-in keeps a block it did not hand over.
  void Forget() { block_ = nullptr; }

 private:
  HLOCAL block_ = nullptr;
};

// The block's bytes, locked while the reader lives.
class LockedBlock {
 public:
  explicit LockedBlock(HLOCAL block)
      : block_(block), span_{static_cast<const uint8_t*>(LocalLock(block)), LocalSize(block)} {
    if (!span_.data) span_.size = 0;
  }
  ~LockedBlock() {
    if (span_.data) LocalUnlock(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  ByteSpan span() const { return span_; }

 private:
  HLOCAL block_;
  ByteSpan span_;
};

// What the plug-in reads a file from: its ANSI path, or its bytes in memory.
struct Source {
  std::optional<std::string> path;
  FileBlock memory;
  uint8_t header[kHeaderBytes];
  std::string supportName;  // the name IsSupported gets
};

// Reads what the plug-in needs of the file; an empty text, or why it cannot.
std::string ReadSource(const std::wstring& file, bool forceMemory, Source* source) {
  if (!forceMemory) source->path = platform::AnsiPathOf(file);
  const std::unique_ptr<FILE, int (*)(FILE*)> in(_wfopen(ExtendedPath(file).c_str(), L"rb"), std::fclose);
  if (!in) return "cannot be opened";
  ReadResult read;
  if (source->path) {
    source->supportName = *source->path;
    read = ReadHeader(in.get(), source->header, sizeof source->header);
  } else {
    source->supportName = platform::AnsiNameForMemory(file);
    const int64_t size = _filelengthi64(_fileno(in.get()));
    read = size < 0 ? ReadResult::ReadError
                    : ReadWhole(in.get(), static_cast<uint64_t>(size), kMaxPictureFileBytes, &source->memory);
    if (read == ReadResult::TooLarge)
      return "too large: " + std::to_string(size) + " bytes, more than any picture spiconv holds";
    const size_t copied = std::min(source->memory.size(), sizeof source->header);
    std::copy(source->memory.data(), source->memory.data() + copied, source->header);
    std::fill(source->header + copied, source->header + sizeof source->header, 0);
  }
  if (read == ReadResult::NoMemory) return "not enough memory";
  if (read != ReadResult::Ok) return "cannot be read";
  return {};
}

struct Answers {
  int info = 0;
  int picture = 0;
};

Answers Decode(const Plugin& plugin, const Source& source, PictureInfo* info, HandedBlock* infoBlock,
               HandedBlock* bitsBlock) {
  Answers answers;
  if (source.path) {
    answers.info = plugin.getPictureInfo(source.path->c_str(), 0, 0, info);
    answers.picture = plugin.getPicture(source.path->c_str(), 0, 0, infoBlock->Receive(), bitsBlock->Receive(),
                                        nullptr, 0);
  } else {
    const char* bytes = reinterpret_cast<const char*>(source.memory.data());
    const auto length = static_cast<SpiLongPtr>(source.memory.size());
    answers.info = plugin.getPictureInfo(bytes, length, 1, info);
    answers.picture = plugin.getPicture(bytes, length, 1, infoBlock->Receive(), bitsBlock->Receive(), nullptr, 0);
  }
  return answers;
}

// The file's bytes in the chosen format; false when the picture cannot be
// written in it.
bool Encode(Format format, ByteSpan info, ByteSpan bits, std::vector<uint8_t>* file) {
  if (format == Format::Bmp) return MakeBmpFile(info, bits, file);
  PngRows rows;
  if (!MakePngRows(info, bits, &rows)) return false;
  const HRESULT result = EncodePng(rows, file);
  if (result == E_OUTOFMEMORY) throw std::bad_alloc();
  return SUCCEEDED(result);
}

Outcome Convert(const Plugin& plugin, const Options& options, const Job& job, std::string* line) {
  Source source;
  if (std::string fault = ReadSource(job.source, options.memory, &source); !fault.empty()) {
    *line = fault;
    return Outcome::Failed;
  }
  if (!plugin.isSupported(source.supportName.c_str(), source.header)) {
    *line = job.fromWalk ? "not supported, skipped" : "not supported";
    return job.fromWalk ? Outcome::Skipped : Outcome::Failed;
  }
  PictureInfo info{};
  HandedBlock infoBlock, bitsBlock;
  const Answers answers = Decode(plugin, source, &info, &infoBlock, &bitsBlock);
  // A plug-in that answers 0 must hand over a header and pixels, apart;
  // after any other answer the handles are the plug-in's.
  if (answers.picture != 0) {
    infoBlock.Forget();
    bitsBlock.Forget();
  } else if (!infoBlock.get() || !bitsBlock.get() || infoBlock.get() == bitsBlock.get() ||
             LocalSize(infoBlock.get()) < sizeof(BITMAPINFOHEADER)) {
    if (infoBlock.get() == bitsBlock.get()) bitsBlock.Forget();
    *line = "decoded, but no header and pixels were handed over";
    return Outcome::Failed;
  }
  int decodedDepth = 0;
  std::string written;
  if (answers.picture == 0) {
    const LockedBlock infoBytes(infoBlock.get()), bitsBytes(bitsBlock.get());
    if (!infoBytes.span().data || !bitsBytes.span().data) {
      *line = "decoded, but no header and pixels were handed over";
      return Outcome::Failed;
    }
    decodedDepth = Le16(infoBytes.span().data + 14);
    std::vector<uint8_t> file;
    if (!Encode(options.format, infoBytes.span(), bitsBytes.span(), &file))
      written = "  not a bitmap that can be written";
    else if (!MakeFolders(FolderOf(job.output)) || !ReplaceWithFile(job.output, file.data(), file.size()))
      written = "  cannot write " + Utf8(job.output);
  }
  const bool ok = answers.info == 0 && answers.picture == 0 && written.empty();
  *line = PictureDetails(info.width, info.height, info.colorDepth, decodedDepth, answers.info, answers.picture) +
          (written.empty() ? (ok ? "  ok" : "  failed") : written);
  return ok ? Outcome::Converted : Outcome::Failed;
}

// The line of a job the plan already refused.
std::string PlanFault(const Job& job) {
  switch (job.kind) {
    case JobKind::Missing:
      return "cannot be found";
    case JobKind::UnlistedFolder:
      return "folder cannot be listed";
    case JobKind::SameOutput:
      return "has the same output file as " + Utf8(job.other) + ", not converted";
    case JobKind::OverwritesInput:
      return "its output would replace an input file, not converted";
    case JobKind::Convert:
      break;
  }
  return {};
}

void Say(const std::string& line) { platform::WriteText(stdout, line + "\n"); }

int Run(const Plugin& plugin, const Options& options) {
  WindowsFiles files;
  const PlanOptions plan{options.recursive, options.outputFolder, options.format == Format::Png ? L".png" : L".bmp"};
  const std::vector<Job> jobs = PlanJobs(options.inputs, plan, files);
  ConsoleProgress progress;
  Tally tally;
  for (size_t i = 0; i < jobs.size(); ++i) {
    const Job& job = jobs[i];
    const std::string shown = Utf8(job.shown);
    progress.Show(i + 1, jobs.size(), shown);
    std::string line = PlanFault(job);
    Outcome outcome = Outcome::Failed;
    if (job.kind == JobKind::Convert) {
      try {
        outcome = Convert(plugin, options, job, &line);
      } catch (const std::bad_alloc&) {
        line = "not enough memory";
        outcome = Outcome::Failed;
      }
    }
    tally.Add(outcome);
    progress.Clear();
    Say(Column(shown) + " " + line);
  }
  Say(tally.SummaryLine());
  return tally.ExitCode();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    platform::WriteText(stderr, kUsage);
    return 2;
  }
  HMODULE module = LoadLibraryW(options->plugin.c_str());
  if (!module) {
    platform::WriteText(stderr, "spiconv: cannot load " + Utf8(options->plugin) + "\n");
    return 2;
  }
  auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); };
  const Plugin plugin{reinterpret_cast<IsSupportedFn>(find("IsSupported")),
                      reinterpret_cast<GetPictureInfoFn>(find("GetPictureInfo")),
                      reinterpret_cast<GetPictureFn>(find("GetPicture"))};
  if (!plugin.isSupported || !plugin.getPictureInfo || !plugin.getPicture) {
    platform::WriteText(stderr, "spiconv: " + Utf8(options->plugin) + " is not a Susie image plug-in\n");
    return 2;
  }
  if (!MakeFolders(options->outputFolder)) {
    platform::WriteText(stderr, "spiconv: cannot make the folder " + Utf8(options->outputFolder) + "\n");
    return 2;
  }
  // The imaging component's encoder is reached through COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int code = Run(plugin, *options);
  if (SUCCEEDED(com)) CoUninitialize();
  FreeLibrary(module);
  return code;
}
