// The effects of the gesture engine on the system: eligibility, the indicator
// window, the volume and the replay of held-back input.
#pragma once

#include <windows.h>

#include "gesture/eligibility_win32.h"
#include "gesture/gesture_engine.h"

namespace sonarel {

class VolumeControl;

// The indicator window's look at each monitor DPI.
class IndicatorSurface {
public:
    // Its outer size at `dpi`, measured the first time that DPI is asked for.
    virtual SIZE SizeAtDpi(UINT dpi) = 0;
    // It is placed at `top_left` on a monitor of `dpi`, and paints with that
    // DPI's font from now on.
    virtual void PlacedAtDpi(POINT top_left, UINT dpi) = 0;

protected:
    ~IndicatorSurface() = default;
};

// Where the indicator goes for the cursor now, and at which DPI it is drawn
// there: on the monitor under the cursor (the nearest one in a gap).
struct IndicatorPlacement {
    Point top_left;
    UINT dpi = 0;
    SIZE size{};
};
IndicatorPlacement PlaceIndicatorFor(IndicatorSurface& surface);

// The effective DPI of a monitor (shcore's GetDpiForMonitor, Windows 8.1 and
// later), else the system DPI.
UINT MonitorDpi(HMONITOR monitor);

class Win32GestureOperations final : public GestureOperations {
public:
    Win32GestureOperations(HWND indicator, VolumeControl& volume, const SystemFacts& facts, IndicatorSurface& surface)
        : indicator_(indicator), volume_(volume), facts_(facts), surface_(surface) {}

    bool IsTriggerEligibleAt(Point pt) override;
    Point IndicatorPosition() override;
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
    IndicatorSurface& surface_;
    IndicatorPlacement placement_;  // of the latest IndicatorPosition, for MoveIndicator
};

}  // namespace sonarel
