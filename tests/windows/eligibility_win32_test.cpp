// The Win32 side of trigger eligibility: the integrity-level query.
#include <windows.h>

#include <gtest/gtest.h>

#include "gesture/eligibility_win32.h"
#include "gesture/trigger_rules.h"

namespace sonarel {
namespace {

TEST(IntegrityLevelTest, APressOverAnOrdinaryWindowOfAnotherProgramStaysEligible) {
    // Under Wine every process has the same level, so only the equal case can
    // be shown here; a window of an elevated program cannot be made.
    const HMODULE shell32 = LoadLibraryW(L"shell32.dll");
    const SystemFacts facts = RecordSystemFacts(shell32);
    ASSERT_FALSE(facts.is_xp);
    ASSERT_TRUE(facts.own_integrity.has_value()) << "this process's level could not be read";
    EXPECT_GE(*facts.own_integrity, 0x1000u);
    EXPECT_LE(*facts.own_integrity, 0x4000u);

    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);  // Wine's explorer.exe, perhaps still starting
    for (int i = 0; i < 100 && taskbar == nullptr; ++i) {
        Sleep(50);
        taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    }
    ASSERT_NE(taskbar, nullptr);
    DWORD other = 0;
    GetWindowThreadProcessId(taskbar, &other);
    ASSERT_NE(other, GetCurrentProcessId());
    EXPECT_EQ(WindowIntegrityLevel(taskbar), facts.own_integrity);
    EXPECT_TRUE(IsTriggerEligible(taskbar, facts));

    const HWND own = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(WindowIntegrityLevel(own), facts.own_integrity);
    EXPECT_TRUE(IsTriggerEligible(own, facts));
    DestroyWindow(own);
    EXPECT_EQ(WindowIntegrityLevel(own), std::nullopt) << "a window that is gone has no level";
    FreeLibrary(shell32);
}

}  // namespace
}  // namespace sonarel
