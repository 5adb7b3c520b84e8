// Composites sprites over a background with the viewer's own engine: the
// pictures are decoded through the Susie plug-ins the viewer would find,
// and the composites are written by xxgrp.dll's image writer.
//
//   spicompose [--at X,Y] [--force] [--plugins FOLDER] BACKGROUND FOREGROUND OUTPUT [FOREGROUND OUTPUT]...
//
// Each foreground (a picture with alpha; with --force also one without,
// keyed as the viewer's force-open keys it) goes over the background with
// its top-left corner at X,Y, or centred, and the composite is written to
// OUTPUT: PNG or JPEG by the extension .png or .jpg, any other as BMP.
// Plug-ins are looked for as the viewer looks for them: in the current
// folder, then FOLDER, then the system folder. Paths may be in any script.
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/windows/text.h"
#include "viewer/engine/compose.h"
#include "viewer/engine/image_document.h"
#include "viewer/engine/output.h"
#include "viewer/engine/path_text.h"
#include "viewer/engine/windows/image_libraries.h"

namespace {

using platform::Utf8;

struct Options {
  bool placed = false;
  Point at;
  bool force = false;
  const wchar_t* pluginFolder = nullptr;
  std::string background;                                 // UTF-8, as are the jobs
  std::vector<std::pair<std::string, std::string>> jobs;  // foreground, output
};

void Say(const std::string& line) { platform::WriteText(stdout, line + "\n"); }

int Usage() {
  platform::WriteText(stderr,
                      "usage: spicompose [--at X,Y] [--force] [--plugins FOLDER] BACKGROUND FOREGROUND OUTPUT "
                      "[FOREGROUND OUTPUT]...\n");
  return 2;
}

bool ParsePoint(const wchar_t* text, Point* point) {
  long x, y;
  wchar_t end;
  if (std::swscanf(text, L"%ld,%ld%lc", &x, &y, &end) != 2) return false;
  *point = Point{static_cast<int32_t>(x), static_cast<int32_t>(y)};
  return true;
}

bool ParseOptions(int argc, wchar_t** argv, Options* o) {
  int i = 1;
  for (; i < argc && std::wcsncmp(argv[i], L"--", 2) == 0; ++i) {
    if (std::wcscmp(argv[i], L"--force") == 0) {
      o->force = true;
    } else if (std::wcscmp(argv[i], L"--at") == 0 && i + 1 < argc && ParsePoint(argv[i + 1], &o->at)) {
      o->placed = true;
      ++i;
    } else if (std::wcscmp(argv[i], L"--plugins") == 0 && i + 1 < argc) {
      o->pluginFolder = argv[++i];
    } else {
      return false;
    }
  }
  if (argc - i < 3 || (argc - i) % 2 == 0) return false;
  o->background = Utf8(argv[i++]);
  for (; i + 1 < argc; i += 2) o->jobs.emplace_back(Utf8(argv[i]), Utf8(argv[i + 1]));
  return true;
}

const char* OpenFailure(SpiResult result) {
  switch (result) {
    case SpiResult::FileReadError:
      return "cannot be read";
    case kRefused:
      return "is not a picture a plug-in can decode, or not of the kind needed here";
    default:
      return "cannot be decoded";
  }
}

std::string Code(SpiResult result) { return std::to_string(static_cast<int>(result)); }

// One sprite over the background, written to `output`; true on success.
bool Composite(const Options& o, ImageDocument& document, PictureWriter& writer, const std::string& foreground,
               const std::string& output) {
  const SpiResult opened =
      o.force ? document.ForceForeground(foreground.c_str()) : document.OpenImage(foreground.c_str(), kMayBeForeground);
  if (opened != SpiResult::Ok) {
    Say(foreground + " " + OpenFailure(opened) + " (result " + Code(opened) + ")" +
        (o.force || opened != kRefused ? "" : "; a picture without alpha needs --force"));
    return false;
  }
  const Bgr24View background = document.background();
  const Bgra32View sprite = document.foreground();
  const Point at = o.placed ? o.at : CentreForeground(background.width, background.height, sprite.width, sprite.height);
  std::vector<uint8_t> composite(background.bytes);
  Compose(composite.data(), background, sprite, at.x, StoredRowOfTop(at.y, background.height, sprite.height));
  OutputPicture picture;
  picture.Choose(document, composite.data());
  const int32_t written = writer.Save(SaveFormatForTitle(FileNamePart(output)), output.c_str(), kWriterOptionSave,
                                      picture.header(), picture.pixels());
  if (written != kWriterOk) {
    Say(output + ": the writer failed with result " + std::to_string(written));
    return false;
  }
  Say(foreground + " over " + o.background + " at " + std::to_string(at.x) + "," + std::to_string(at.y) + " -> " +
      output);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) return Usage();
  RestrictLibrarySearch();
  ImageLibraries libraries;
  if (!libraries.Load(ProgramFolder(), o.pluginFolder)) {
    platform::WriteText(stderr, "spicompose: xxgrp.dll is not found beside spicompose.exe\n");
    return 2;
  }
  ImageDocument document(libraries.plugins);
  const SpiResult opened = document.OpenImage(o.background.c_str(), kMayBeBackground);
  if (opened != SpiResult::Ok) {
    Say(o.background + " " + OpenFailure(opened) + " (result " + Code(opened) + ")");
    return 1;
  }
  int failures = 0;
  for (const auto& [foreground, output] : o.jobs)
    failures += !Composite(o, document, libraries.writer, foreground, output);
  return failures ? 1 : 0;
}
