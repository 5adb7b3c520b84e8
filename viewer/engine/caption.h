// The main window's caption: the product name, then the foreground and the
// background with their sizes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct CaptionPicture {
  std::string sourceName;  // a path; only its file-name part is shown
  int32_t width = 0;
  int32_t height = 0;
  int bitCount = 0;
};

// "Trellin - fore.px (640x480x32 bit) / back.bmp (800x600x24 bit)": each
// part only when that picture is present.
std::string BuildCaption(std::string_view productName, const std::optional<CaptionPicture>& foreground,
                         const std::optional<CaptionPicture>& background);
