// A small CRTP window base: the static window procedure stores the object at
// WM_NCCREATE and forwards every later message to Derived::HandleMessage.
// Derived implements `LRESULT HandleMessage(UINT, WPARAM, LPARAM) noexcept`
// and calls DefaultProc for what it does not handle.
#pragma once

#include <windows.h>

namespace sonarel::win32 {

template <class Derived>
class WindowBase {
public:
    HWND hwnd() const noexcept { return hwnd_; }

protected:
    WindowBase() = default;
    ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    LRESULT DefaultProc(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
        return ::DefWindowProcW(hwnd_, message, wparam, lparam);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
            self->hwnd_ = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (self == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
        const LRESULT result = self->HandleMessage(message, wparam, lparam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace sonarel::win32
