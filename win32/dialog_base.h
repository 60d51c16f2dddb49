// The dialog counterpart of WindowBase: the static dialog procedure stores the
// object at WM_INITDIALOG and forwards to Derived::HandleMessage, which returns
// the dialog procedure's result (FALSE: default dialog handling).
#pragma once

#include <windows.h>

namespace sonarel::win32 {

template <class Derived>
class DialogBase {
public:
    HWND hwnd() const noexcept { return hwnd_; }

    // Runs the dialog modally; -1 when it cannot be created.
    INT_PTR RunModal(HINSTANCE instance, UINT template_id, HWND owner) {
        return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(template_id), owner, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    }

protected:
    DialogBase() = default;
    ~DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
        Derived* self = nullptr;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<Derived*>(lparam);
            self->hwnd_ = dialog;
            ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        } else {
            self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        }
        if (self == nullptr) return FALSE;
        const INT_PTR result = self->HandleMessage(message, wparam, lparam);
        if (message == WM_NCDESTROY) self->hwnd_ = nullptr;
        return result;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace sonarel::win32
