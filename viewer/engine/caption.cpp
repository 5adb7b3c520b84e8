#include "viewer/engine/caption.h"

#include <cstdio>

#include "viewer/engine/path_text.h"

namespace {

void AppendPicture(std::string& caption, const char* separator, const CaptionPicture& picture) {
  char size[64];
  std::snprintf(size, sizeof size, " (%dx%dx%d bit)", static_cast<int>(picture.width), static_cast<int>(picture.height),
                picture.bitCount);
  caption += separator;
  caption += FileNamePart(picture.sourceName);
  caption += size;
}

}  // namespace

std::string BuildCaption(std::string_view productName, const std::optional<CaptionPicture>& foreground,
                         const std::optional<CaptionPicture>& background) {
  std::string caption(productName);
  if (foreground) AppendPicture(caption, " - ", *foreground);
  if (background) AppendPicture(caption, " / ", *background);
  return caption;
}
