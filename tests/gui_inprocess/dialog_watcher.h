// Modal dialogs (message boxes, the About box, the open dialog) would stop
// a test until someone closes them. While a watcher lives, every dialog
// this thread opens is noted as soon as it has been set up, and once its
// own messages have run it is answered, by default with OK, and answered
// again until it is gone. One that outlasts many answers is ended and
// marked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenDialog {
  std::string caption;
  // The texts of its static controls that have one, in window order.
  std::vector<std::string> texts;
  HWND owner;
  // Still open after many answers, and ended by the watcher.
  bool unanswered;
};

class DialogWatcher {
 public:
  using Answer = std::function<void(HWND dialog)>;

  explicit DialogWatcher(Answer answer = PressOk);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  const std::vector<SeenDialog>& seen() const { return seen_; }

  static void PressOk(HWND dialog);
  static void PressCancel(HWND dialog);
  // The file dialogs' answer: the path typed into the file name box, then
  // OK. The question whether to replace a file gets yes, other dialogs OK.
  static Answer ChooseFile(const std::string& path);

 private:
  struct Waiting {
    HWND dialog;
    int answers;
  };
  static constexpr UINT kTick = 20;  // milliseconds
  static constexpr int kMostAnswers = 500;

  static LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK AnswerWaiting(HWND, UINT, UINT_PTR, DWORD);
  void Noticed(HWND dialog);
  void AnswerOpenDialogs();

  Answer answer_;
  HHOOK hook_;
  UINT_PTR timer_ = 0;
  std::vector<Waiting> waiting_;
  std::vector<SeenDialog> seen_;
};
