#include "tests/gui_inprocess/dialog_watcher.h"

#include <dlgs.h>
#include <cstdio>

namespace {

DialogWatcher* current = nullptr;

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM texts) {
  char kind[32] = {};
  GetClassNameA(child, kind, sizeof kind);
  const std::string text = TextOf(child);
  if (lstrcmpiA(kind, "Static") == 0 && !text.empty())
    reinterpret_cast<std::vector<std::string>*>(texts)->push_back(text);
  return TRUE;
}

void Press(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

SeenDialog Describe(HWND dialog) {
  SeenDialog seen{TextOf(dialog), {}, GetWindow(dialog, GW_OWNER), false};
  EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&seen.texts));
  return seen;
}

}  // namespace

DialogWatcher::DialogWatcher(Answer answer)
    : answer_(std::move(answer)),
      hook_(SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId())) {
  current = this;
}

DialogWatcher::~DialogWatcher() {
  if (timer_) KillTimer(nullptr, timer_);
  UnhookWindowsHookEx(hook_);
  current = nullptr;
}

void DialogWatcher::PressOk(HWND dialog) { Press(dialog, IDOK); }

void DialogWatcher::PressCancel(HWND dialog) { Press(dialog, IDCANCEL); }

DialogWatcher::Answer DialogWatcher::ChooseFile(const std::string& path) {
  return [path](HWND dialog) {
    // The file name box is a combo box on some systems and an edit box on
    // others; a dialog without either (a message box after the choice) is
    // only confirmed.
    HWND box = GetDlgItem(dialog, cmb13);
    if (!box) box = GetDlgItem(dialog, edt1);
    if (box) SetWindowTextA(box, path.c_str());
    // The question whether to replace an existing file is answered yes.
    Press(dialog, !box && GetDlgItem(dialog, IDYES) ? IDYES : IDOK);
  };
}

// A top-level dialog has been set up when its WM_INITDIALOG has returned.
LRESULT CALLBACK DialogWatcher::AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && current && message->message == WM_INITDIALOG &&
      !(GetWindowLongA(message->hwnd, GWL_STYLE) & WS_CHILD))
    current->Noticed(message->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Answered from a timer, inside the dialog's own message loop once the
// messages that set it up have run. Some dialogs go on setting themselves
// up after that (the open dialog fills its boxes from other threads): a
// dialog still open at the next tick is answered again.
void DialogWatcher::Noticed(HWND dialog) {
  waiting_.push_back({dialog, 0});
  if (!timer_) timer_ = SetTimer(nullptr, 0, kTick, AnswerWaiting);
}

void CALLBACK DialogWatcher::AnswerWaiting(HWND, UINT, UINT_PTR, DWORD) {
  if (current) current->AnswerOpenDialogs();
}

void DialogWatcher::AnswerOpenDialogs() {
  std::vector<Waiting> stillOpen;
  for (Waiting waiting : waiting_) {
    HWND dialog = waiting.dialog;
    if (!IsWindow(dialog)) continue;
    if (waiting.answers == 0) seen_.push_back(Describe(dialog));
    // A dialog waiting for a box of its own (the question whether to
    // replace a file) is disabled meanwhile: answered again, it would ask
    // again.
    if (!IsWindowEnabled(dialog)) {
      stillOpen.push_back(waiting);
      continue;
    }
    if (++waiting.answers > kMostAnswers) {
      EndDialog(dialog, IDCANCEL);
      seen_.back().unanswered = true;
      continue;
    }
    answer_(dialog);
    stillOpen.push_back(waiting);
  }
  waiting_ = stillOpen;
  if (waiting_.empty()) {
    KillTimer(nullptr, timer_);
    timer_ = 0;
  }
}
