#include "viewer/shell/window.h"

#include <algorithm>

HWND Window::Create(const WNDCLASSEXA& windowClass, DWORD exStyle, const char* title, DWORD style, const RECT& place,
                    HWND parent, HMENU menuOrId) {
  WNDCLASSEXA registered = windowClass;
  registered.cbSize = sizeof registered;
  registered.lpfnWndProc = Procedure;
  registered.hInstance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing;
  if (!GetClassInfoExA(registered.hInstance, registered.lpszClassName, &existing)) RegisterClassExA(&registered);
  return CreateWindowExA(exStyle, registered.lpszClassName, title, style, place.left, place.top, place.right,
                         place.bottom, parent, menuOrId, registered.hInstance, this);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnFinalMessage();
  }
  return result;
}

void MessageLoop::RemoveMessageFilter(MessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void MessageLoop::RemoveIdleHandler(IdleHandler* handler) {
  idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), handler), idleHandlers_.end());
}

// The idle handlers run once each time the queue runs empty after messages.
int MessageLoop::Run() {
  MSG message;
  bool idle = true;
  for (;;) {
    while (idle && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      for (IdleHandler* handler : idleHandlers_) handler->OnIdle();
      idle = false;
    }
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return got == 0 ? static_cast<int>(message.wParam) : 0;
    const bool filtered = std::any_of(filters_.begin(), filters_.end(),
                                      [&](MessageFilter* filter) { return filter->PreTranslateMessage(&message); });
    if (!filtered) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (message.message != WM_TIMER && message.message != WM_MOUSEMOVE) idle = true;
  }
}
