#include "viewer/shell/window.h"

#include <algorithm>

HWND Window::Create(const WNDCLASSEXW& windowClass, DWORD exStyle, const wchar_t* title, DWORD style, const RECT& place,
                    HWND parent, HMENU menuOrId) {
  WNDCLASSEXW registered = windowClass;
  registered.cbSize = sizeof registered;
  registered.lpfnWndProc = Procedure;
  registered.hInstance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing;
  if (!GetClassInfoExW(registered.hInstance, registered.lpszClassName, &existing)) RegisterClassExW(&registered);
  return CreateWindowExW(exStyle, registered.lpszClassName, title, style, place.left, place.top, place.right,
                         place.bottom, parent, menuOrId, registered.hInstance, this);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
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
    while (idle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      for (IdleHandler* handler : idleHandlers_) handler->OnIdle();
      idle = false;
    }
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return got == 0 ? static_cast<int>(message.wParam) : 0;
    const bool filtered = std::any_of(filters_.begin(), filters_.end(),
                                      [&](MessageFilter* filter) { return filter->PreTranslateMessage(&message); });
    if (!filtered) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (message.message != WM_TIMER && message.message != WM_MOUSEMOVE) idle = true;
  }
}
