// The shell's commands, one row each: which window runs it, what it needs,
// its handler, the text its failure shows and its check mark. The frame's
// dispatch and the view's, the update of the check marks and the one
// failure reporter all read this table; a command added is a row added.
//
// A command that by design does nothing (Cut, Undo, the pane keys) is a
// row that runs nowhere: it still reaches the view, as every command the
// frame does not run does, and nothing happens.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "viewer/shell/command_rules.h"

class CMainFrame;
class CTrellinView;

enum class Runs { Frame, View, Nobody };

struct Command {
  UINT first;  // the row's identifiers, first to last
  UINT last;
  Runs runs;
  Needs needs;
  // The handler of the window that runs it (the other is null), given the
  // command's identifier.
  void (CMainFrame::*onFrame)(UINT id);
  void (CTrellinView::*onView)(UINT id);
  FailureText failure;
  // Whether its menu item is checked; null for a command without a mark.
  bool (CMainFrame::*checked)() const;
};

// Every row, in the order of the menus.
const std::vector<Command>& CommandTable();
// The row of the identifier; null when no row has it.
const Command* FindCommand(UINT id);

// The one failure reporter: the message of the failure text for `code`,
// with the caption given, an OK button and the information icon, owned by
// `owner`.
void ReportFailure(HWND owner, FailureText failure, int32_t code, const std::wstring& caption);
// The same with the failure text of the command's row; `owner` is the
// window that runs the command.
void ReportCommandFailure(HWND owner, UINT id, int32_t code, const std::wstring& caption);
