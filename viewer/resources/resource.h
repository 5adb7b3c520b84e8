// Identifiers of Trellin's resources and commands, shared by trellin.rc and
// the window classes. Plain macros only: the resource compiler reads this
// file too.
#pragma once

// Resources of the main frame: caption string, menu, accelerators, icon and
// toolbar bitmap (for 100 % and, as IDB_TOOLBAR_200, 200 % displays).
#define IDR_MAINFRAME 128
#define IDB_TOOLBAR_200 129
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_TEXT 1000

// Message texts.
#define IDS_IMAGE_UNREADABLE 129
#define IDS_BROKEN_OR_ALPHA_BACKGROUND 131
#define IDS_BROKEN_OR_NO_ALPHA 132
#define IDS_OPEN_BACKGROUND_TITLE 134
#define IDS_OPEN_FOREGROUND_TITLE 135
#define IDS_WALLPAPER_FAILED 136

// Texts the code shows: the writer's result texts for codes 0 to 10 and
// then the one for every other code, the captions and names of its own,
// the file types of the dialogs and the About box's line.
#define IDS_WRITER_RESULT_FIRST 140
#define IDS_WRITER_RESULT_OTHER 151
#define IDS_ERROR_CAPTION 152
#define IDS_WARNING_CAPTION 153
#define IDS_WRITER_MISSING 154
#define IDS_PASTED_NAME 155
#define IDS_FILTER_ALL_FILES 156
#define IDS_FILTER_ALL_IMAGES 157
#define IDS_SAVE_FILTER 158
#define IDS_ABOUT_TEXT 159

// File menu.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN_FOREGROUND 57601
#define ID_FILE_OPEN_BACKGROUND 32781
#define ID_FILE_FORCE_FOREGROUND 32790
#define ID_FILE_SAVE_COMPOSITE 57603
#define ID_WALLPAPER_CENTRE 32783
#define ID_WALLPAPER_TILE 32784
#define ID_WALLPAPER_STRETCH 32785
#define ID_FILE_PRINT 57607
#define ID_RECENT_FOREGROUND_FIRST 57616
#define ID_RECENT_FOREGROUND_LAST 57631
#define ID_RECENT_BACKGROUND_FIRST 32772
#define ID_RECENT_BACKGROUND_LAST 32780
#define ID_APP_EXIT 57665

// Edit, View and Help menus.
#define ID_EDIT_COPY_COMPOSITE 57634
#define ID_EDIT_PASTE 57637
#define ID_VIEW_CENTRE_FOREGROUND 32787
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393
#define ID_APP_ABOUT 57664
// The View menu's Language submenu: the language of every text shown.
#define ID_VIEW_LANGUAGE_JAPANESE 33040
#define ID_VIEW_LANGUAGE_ENGLISH 33041

// The File menu's folder submenu: the next or previous picture in the
// folder of the foreground or the background.
#define ID_BROWSE_NEXT_FOREGROUND 33020
#define ID_BROWSE_PREVIOUS_FOREGROUND 33021
#define ID_BROWSE_NEXT_BACKGROUND 33022
#define ID_BROWSE_PREVIOUS_BACKGROUND 33023

// Status-bar notes of the folder commands and of a long open.
#define IDS_BROWSE_SKIPPED 420
#define IDS_BROWSE_LAST 421
#define IDS_BROWSE_FIRST 422
#define IDS_OPEN_PROGRESS 423
#define IDS_OPEN_PROGRESS_UNKNOWN 424
#define IDS_OPEN_CANCELLED 425

// View menu: zoom. Its status-bar texts: the step's percentage, and the
// percentage while the picture is fitted to the window (%1 the number).
#define ID_VIEW_ZOOM_IN 33000
#define ID_VIEW_ZOOM_OUT 33001
#define ID_VIEW_ZOOM_ACTUAL 33002
#define ID_VIEW_ZOOM_FIT 33003
#define IDS_ZOOM_STATUS 400
#define IDS_ZOOM_FIT_STATUS 401

// Commands with keys or a button but no menu item and no handler.
#define ID_EDIT_CUT 57635
#define ID_EDIT_UNDO 57643
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

// Status-bar texts: the prompt of every recent foreground entry, and the idle
// text.
#define IDS_OPEN_RECENT_PROMPT 61402
#define IDS_READY 57345

// Prompts of the system-menu items: 0xE000 or-ed with bits 4 to 15 of the
// SC_ command (SC_SIZE 0xF000 gives 0xEF00).
#define IDS_SC_SIZE 61184
#define IDS_SC_MOVE 61185
#define IDS_SC_MINIMIZE 61186
#define IDS_SC_MAXIMIZE 61187
#define IDS_SC_NEXTWINDOW 61188
#define IDS_SC_PREVWINDOW 61189
#define IDS_SC_CLOSE 61190
#define IDS_SC_RESTORE 61202
#define IDS_SC_TASKLIST 61203
