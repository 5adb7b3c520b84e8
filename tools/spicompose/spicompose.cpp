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
// folder, then FOLDER, then the system folder.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "viewer/engine/compose.h"
#include "viewer/engine/image_document.h"
#include "viewer/engine/image_libraries.h"
#include "viewer/engine/output.h"
#include "viewer/engine/path_text.h"

namespace {

struct Options {
  bool placed = false;
  Point at;
  bool force = false;
  const char* pluginFolder = nullptr;
  const char* background = nullptr;
  std::vector<std::pair<const char*, const char*>> jobs;  // foreground, output
};

int Usage() {
  std::fprintf(stderr,
               "usage: spicompose [--at X,Y] [--force] [--plugins FOLDER] BACKGROUND FOREGROUND OUTPUT "
               "[FOREGROUND OUTPUT]...\n");
  return 2;
}

bool ParsePoint(const char* text, Point* point) {
  long x, y;
  char end;
  if (std::sscanf(text, "%ld,%ld%c", &x, &y, &end) != 2) return false;
  *point = Point{static_cast<int32_t>(x), static_cast<int32_t>(y)};
  return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    if (std::strcmp(argv[i], "--force") == 0) {
      o->force = true;
    } else if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc && ParsePoint(argv[i + 1], &o->at)) {
      o->placed = true;
      ++i;
    } else if (std::strcmp(argv[i], "--plugins") == 0 && i + 1 < argc) {
      o->pluginFolder = argv[++i];
    } else {
      return false;
    }
  }
  if (argc - i < 3 || (argc - i) % 2 == 0) return false;
  o->background = argv[i++];
  for (; i + 1 < argc; i += 2) o->jobs.emplace_back(argv[i], argv[i + 1]);
  return true;
}

const char* OpenFailure(int result) {
  switch (result) {
    case 6:
      return "cannot be read";
    case 2:
      return "is not a picture a plug-in can decode, or not of the kind needed here";
    default:
      return "cannot be decoded";
  }
}

// One sprite over the background, written to `output`; true on success.
bool Composite(const Options& o, ImageDocument& document, ImageWriterBinding& writer, const char* foreground,
               const char* output) {
  const int opened = o.force ? document.ForceForeground(foreground) : document.OpenImage(foreground, kMayBeForeground);
  if (opened != 0) {
    std::printf("%s %s (result %d)%s\n", foreground, OpenFailure(opened), opened,
                o.force || opened != 2 ? "" : "; a picture without alpha needs --force");
    return false;
  }
  const Bgr24View background = document.background();
  const Bgra32View sprite = document.foreground();
  const Point at = o.placed ? o.at : CentreForeground(background.width, background.height, sprite.width, sprite.height);
  size_t size = 0;  // the background passed the intake: its size is known to fit
  DibImageSize(background.width, background.height, 24, &size);
  std::vector<uint8_t> composite(size);
  Compose(composite.data(), background, sprite, at.x, StoredRowOfTop(at.y, background.height, sprite.height));
  OutputPicture picture;
  picture.Choose(document, composite.data());
  const int32_t written =
      writer.Save(SaveFormatForTitle(FileNamePart(output)), output, kWriterSave, picture.header(), picture.pixels());
  if (written != 0) {
    std::printf("%s: the writer failed with result %d\n", output, written);
    return false;
  }
  std::printf("%s over %s at %d,%d -> %s\n", foreground, o.background, at.x, at.y, output);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) return Usage();
  RestrictLibrarySearch();
  ImageLibraries libraries;
  if (!libraries.Load(ProgramFolder(), o.pluginFolder)) {
    std::fprintf(stderr, "spicompose: xxgrp.dll is not found beside spicompose.exe\n");
    return 2;
  }
  ImageDocument document(libraries.plugins);
  const int opened = document.OpenImage(o.background, kMayBeBackground);
  if (opened != 0) {
    std::printf("%s %s (result %d)\n", o.background, OpenFailure(opened), opened);
    return 1;
  }
  int failures = 0;
  for (const auto& [foreground, output] : o.jobs)
    failures += !Composite(o, document, libraries.writer, foreground, output);
  return failures ? 1 : 0;
}
