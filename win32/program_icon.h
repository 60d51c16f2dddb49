// The programs' own icon, loaded at a system metric's size.
#pragma once

#include <windows.h>

#include "common/product.h"
#include "win32/unique_handle.h"

namespace sonarel::win32 {

// Not LR_SHARED: the caller owns the icon and destroys it with the owner.
inline unique_hicon LoadProgramIcon(int cx_metric, int cy_metric) {
    return unique_hicon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                        MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON,
                                                        ::GetSystemMetrics(cx_metric), ::GetSystemMetrics(cy_metric),
                                                        LR_DEFAULTCOLOR)));
}

}  // namespace sonarel::win32
