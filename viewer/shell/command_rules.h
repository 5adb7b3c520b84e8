// What the shell's command table says of a command that needs no window:
// whether it may run with the pictures at hand, and which text tells its
// failure. Portable, so that the rules are tested natively.
#pragma once

#include <cstdint>

// What a command needs; without it the command does nothing. Nothing is
// ever greyed for it.
enum class Needs { Nothing, Foreground, Background, AnyPicture };

// The text a command's failure shows.
enum class FailureText {
  None,
  OpenForeground,  // broken, or without alpha; the read error and memory have their own
  OpenBackground,  // broken, or with alpha; likewise
  WriterResult,    // the writer's result text for the code
  Wallpaper,       // the wallpaper cannot be set, whatever went wrong
  CannotShow,      // the picture cannot be shown (no surface for it)
};

bool NeedsMet(Needs needs, bool hasForeground, bool hasBackground);

// The string-table entry of the message for a failure with this code.
unsigned FailureMessageId(FailureText failure, int32_t code);
