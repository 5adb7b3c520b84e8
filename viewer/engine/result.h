// One result type for the viewer, from the plug-in host to the message box:
// the Susie plug-ins' codes (SpiResult). A plug-in's code is passed on as it
// comes; the viewer answers some of them itself where it refuses a picture,
// and has one code of its own beside them.
#pragma once

#include "base/susie_abi.h"

// No plug-in takes the file, or the picture is not of the kind asked for.
inline constexpr SpiResult kRefused = SpiResult::UnsupportedFormat;
// A plug-in answered 0 without handing over both blocks.
inline constexpr SpiResult kNothingHandedOver = SpiResult::MemoryError;
// The viewer's own: the picture's composite surface cannot be made, so it
// cannot be shown (the message of string 129).
inline constexpr SpiResult kCannotShow = static_cast<SpiResult>(129);

// A plug-in's answer, whatever number it is.
inline SpiResult PluginAnswer(int code) { return static_cast<SpiResult>(code); }
