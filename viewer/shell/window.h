// The small window layer the viewer's windows are built on: a window
// object receives its window's messages through one virtual function, and
// the message loop offers each message to the registered filters first and
// runs the idle handlers whenever the queue runs empty. Every window is a
// Unicode window: its texts are UTF-16 whatever the system's code page.
#pragma once

#include <windows.h>

#include <vector>

class Window {
 public:
  Window() = default;
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class on first use and creates the window, which belongs
  // to this object from its first message to its last.
  HWND Create(const WNDCLASSEXW& windowClass, DWORD exStyle, const wchar_t* title, DWORD style, const RECT& place,
              HWND parent, HMENU menuOrId);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProcW(hwnd_, message, wParam, lParam); }
  // Runs once the window is gone, after its last message.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

// Every default-placed window: CW_USEDEFAULT for position and size.
inline constexpr RECT kDefaultPlace = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT),
                                       static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT)};

class MessageFilter {
 public:
  virtual ~MessageFilter() = default;
  // True when the message was dealt with and must not be dispatched.
  virtual bool PreTranslateMessage(MSG* message) = 0;
};

class IdleHandler {
 public:
  virtual ~IdleHandler() = default;
  virtual void OnIdle() = 0;
};

class MessageLoop {
 public:
  void AddMessageFilter(MessageFilter* filter) { filters_.push_back(filter); }
  void AddIdleHandler(IdleHandler* handler) { idleHandlers_.push_back(handler); }
  void RemoveMessageFilter(MessageFilter* filter);
  void RemoveIdleHandler(IdleHandler* handler);
  // Until the quit message; its code.
  int Run();

 private:
  std::vector<MessageFilter*> filters_;
  std::vector<IdleHandler*> idleHandlers_;
};
