// Functions of later systems, looked up at run time so that the programs
// still load where they are missing (XP).
#pragma once

#include <windows.h>

namespace sonarel::win32 {

// `name` in `module` as a pointer of type Fn; null when either is missing.
template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) {
    return module != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// The same in user32.dll, which every GUI program has loaded.
template <typename Fn>
Fn User32Function(const char* name) {
    return ProcAddress<Fn>(::GetModuleHandleW(L"user32.dll"), name);
}

}  // namespace sonarel::win32
