// The main frame's toolbar: its buttons in order, a separator where the
// entry is kToolbarSeparator. The n-th button that is not a separator shows
// the n-th picture of bitmap IDR_MAINFRAME, counted from the left; the
// command bar takes its menu item pictures from the same pairs.
#pragma once

#include "viewer/resources/resource.h"

inline constexpr int kToolbarButtonWidth = 16;
inline constexpr int kToolbarButtonHeight = 15;
inline constexpr unsigned kToolbarSeparator = 0;

inline constexpr unsigned kToolbarButtons[] = {
    ID_FILE_NEW,
    ID_FILE_FORCE_FOREGROUND,
    ID_FILE_SAVE_COMPOSITE,
    kToolbarSeparator,
    ID_EDIT_CUT,
    ID_EDIT_COPY_COMPOSITE,
    ID_EDIT_PASTE,
    kToolbarSeparator,
    ID_FILE_PRINT,
    ID_APP_ABOUT,
};
