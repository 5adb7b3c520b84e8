#include "viewer/shell/command_rules.h"

#include "base/susie_abi.h"
#include "viewer/engine/output_rules.h"
#include "viewer/resources/resource.h"

bool NeedsMet(Needs needs, bool hasForeground, bool hasBackground) {
  switch (needs) {
    case Needs::Foreground:
      return hasForeground;
    case Needs::Background:
      return hasBackground;
    case Needs::AnyPicture:
      return hasForeground || hasBackground;
    default:
      return true;
  }
}

namespace {

unsigned WriterResultId(int32_t code) { return IDS_WRITER_RESULT_FIRST + static_cast<unsigned>(ResultTextIndex(code)); }

// A read error of the plug-in has a message of its own, and so has a
// shortage of memory (the picture is not broken: with memory to spare it
// opens); every other code says the picture is broken or of the wrong kind.
unsigned OpenFailureId(int32_t code, unsigned otherwise) {
  if (code == static_cast<int32_t>(SpiResult::FileReadError)) return IDS_IMAGE_UNREADABLE;
  if (code == static_cast<int32_t>(SpiResult::OutOfMemory)) return WriterResultId(code);
  return otherwise;
}

}  // namespace

unsigned FailureMessageId(FailureText failure, int32_t code) {
  switch (failure) {
    case FailureText::OpenForeground:
      return OpenFailureId(code, IDS_BROKEN_OR_NO_ALPHA);
    case FailureText::OpenBackground:
      return OpenFailureId(code, IDS_BROKEN_OR_ALPHA_BACKGROUND);
    case FailureText::WriterResult:
      return WriterResultId(code);
    case FailureText::Wallpaper:
      return IDS_WALLPAPER_FAILED;
    case FailureText::CannotShow:
      return IDS_IMAGE_UNREADABLE;
    default:
      return 0;
  }
}
