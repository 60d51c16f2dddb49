// Operations that cost next to nothing, so a benchmark measures the engine.
#pragma once

#include "gesture/gesture_engine.h"
#include "volume/volume_math.h"

namespace sonarel::bench {

class NullOperations final : public GestureOperations {
public:
    bool IsTriggerEligibleAt(Point) override { return true; }
    Point IndicatorPosition() override { return {10, 10}; }
    bool IsIndicatorVisible() override { return visible; }
    void MoveIndicator(Point) override {}
    void ShowIndicator() override { visible = true; }
    void HideIndicator() override { visible = false; }
    void RepaintIndicator() override {}
    int GetLevel() override { return level; }
    void SetLevel(std::uint32_t percent) override { level = static_cast<int>(ClampLevel(percent)); }
    bool GetMute() override { return false; }
    void SetMute(bool) override {}
    void Replay(const ReplayRecord&, const ReplayRecord&) override {}

    bool visible = false;
    int level = 50;
};

}  // namespace sonarel::bench
