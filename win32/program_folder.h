#pragma once

#include <string>

namespace sonarel::win32 {

// The folder that holds the running program, with a trailing backslash. The
// programs find their companions (SonarelSettings.exe, QuickStartGuide.htm,
// Sonarel128.png, Sonarel.exe) there, whatever the current directory.
std::wstring ProgramFolder();

}  // namespace sonarel::win32
