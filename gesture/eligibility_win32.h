// The Win32 side of trigger eligibility: what the system reports of
// full-screen use, of the window under a press and of integrity levels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace sonarel {

// SHQueryUserNotificationState, looked up at run time (XP has none). The
// state is an enum of int size.
using QueryNotificationStateFn = HRESULT(WINAPI*)(int* state);

// Facts recorded once at start-up for the eligibility rule.
struct SystemFacts {
    bool is_xp = false;
    QueryNotificationStateFn query_notification_state = nullptr;
    // This program's integrity level; none on XP, which has no levels, and
    // none when it cannot be read (the comparison is then not made).
    std::optional<std::uint32_t> own_integrity;
};

// The facts as Sonarel records them at start-up; shell32 must stay loaded
// while they are used.
SystemFacts RecordSystemFacts(HMODULE shell32);

bool IsTriggerEligible(HWND window, const SystemFacts& facts);

// The integrity level of a process's token, of the process that owns a
// window; nullopt when it cannot be read.
std::optional<std::uint32_t> ProcessIntegrityLevel(HANDLE process);
std::optional<std::uint32_t> WindowIntegrityLevel(HWND window);

#if defined(SONAREL_TEST_SEAMS)
// From now on the notification-state query reports `state`, as Wine's never
// does; 0 returns to the real query.
void SetNotificationStateForTest(int state);
#endif

}  // namespace sonarel
