// The effects of the gesture engine on the system: eligibility, the indicator
// window, the volume and the replay of held-back input.
#pragma once

#include <windows.h>

#include "gesture/eligibility_win32.h"
#include "gesture/gesture_engine.h"

namespace sonarel {

class VolumeControl;

Point IndicatorPositionFor(HWND indicator);

class Win32GestureOperations final : public GestureOperations {
public:
    Win32GestureOperations(HWND indicator, VolumeControl& volume, const SystemFacts& facts)
        : indicator_(indicator), volume_(volume), facts_(facts) {}

    bool IsTriggerEligibleAt(Point pt) override;
    Point IndicatorPosition() override { return IndicatorPositionFor(indicator_); }
    bool IsIndicatorVisible() override { return ::IsWindowVisible(indicator_) != FALSE; }
    void MoveIndicator(Point top_left) override;
    void ShowIndicator() override;
    void HideIndicator() override { ::ShowWindow(indicator_, SW_HIDE); }
    void RepaintIndicator() override { ::InvalidateRect(indicator_, nullptr, TRUE); }
    int GetLevel() override;
    void SetLevel(std::uint32_t percent) override;
    bool GetMute() override;
    void SetMute(bool muted) override;
    void Replay(const ReplayRecord& first, const ReplayRecord& second) override;

private:
    HWND indicator_;
    VolumeControl& volume_;
    SystemFacts facts_;
};

}  // namespace sonarel
