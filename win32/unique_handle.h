// Move-only owners for Win32 handles, one traits type per kind of handle.
#pragma once

#include <windows.h>

#include <utility>

namespace sonarel::win32 {

template <class Traits>
class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer value) noexcept : value_(value) {}
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    ~unique_handle() { reset(); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }
    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        const pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    pointer value_ = Traits::invalid();
};

template <class Handle, auto Close>
struct handle_traits {
    using pointer = Handle;
    static constexpr Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { Close(h); }
};

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
struct file_handle_traits {
    using pointer = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};

using unique_kernel_handle = unique_handle<handle_traits<HANDLE, &::CloseHandle>>;
using unique_hfile = unique_handle<file_handle_traits>;
using unique_hhook = unique_handle<handle_traits<HHOOK, &::UnhookWindowsHookEx>>;
using unique_hmenu = unique_handle<handle_traits<HMENU, &::DestroyMenu>>;
using unique_hicon = unique_handle<handle_traits<HICON, &::DestroyIcon>>;
using unique_hmodule = unique_handle<handle_traits<HMODULE, &::FreeLibrary>>;
using unique_hwnd = unique_handle<handle_traits<HWND, &::DestroyWindow>>;
using unique_hgdiobj = unique_handle<handle_traits<HGDIOBJ, &::DeleteObject>>;
using unique_hbitmap = unique_handle<handle_traits<HBITMAP, &::DeleteObject>>;
using unique_hbrush = unique_handle<handle_traits<HBRUSH, &::DeleteObject>>;
using unique_hpen = unique_handle<handle_traits<HPEN, &::DeleteObject>>;
using unique_hdc = unique_handle<handle_traits<HDC, &::DeleteDC>>;

// BeginPaint / EndPaint.
class unique_hdc_paint {
public:
    explicit unique_hdc_paint(HWND window) noexcept : window_(window) { ::BeginPaint(window_, &paint_); }
    ~unique_hdc_paint() { ::EndPaint(window_, &paint_); }
    unique_hdc_paint(const unique_hdc_paint&) = delete;
    unique_hdc_paint& operator=(const unique_hdc_paint&) = delete;
    HDC get() const noexcept { return paint_.hdc; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// GetDC / ReleaseDC.
class unique_hdc_window {
public:
    explicit unique_hdc_window(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~unique_hdc_window() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    unique_hdc_window(const unique_hdc_window&) = delete;
    unique_hdc_window& operator=(const unique_hdc_window&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class unique_select_object {
public:
    unique_select_object(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~unique_select_object() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    unique_select_object(const unique_select_object&) = delete;
    unique_select_object& operator=(const unique_select_object&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace sonarel::win32
