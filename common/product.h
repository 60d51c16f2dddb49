// Names both programs agree on.
#pragma once

namespace sonarel {

// Title of Sonarel's window; SonarelSettings finds it by this alone, so no
// window of SonarelSettings may carry it.
inline constexpr wchar_t kResidentWindowTitle[] = L"Sonarel";
// Icon group of both programs (16, 32, 64 and 128 pixels; 8 and 32 bits).
inline constexpr unsigned kProgramIconResource = 206;

}  // namespace sonarel
