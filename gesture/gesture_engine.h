// The low-level mouse hook's decision logic: which events arm, continue and
// end a volume gesture, and which are passed, swallowed or replayed. It knows
// nothing of Windows; the hook adapter converts MSLLHOOKSTRUCT to MouseEvent
// and Decision to the hook's return value, and GestureOperations supplies
// every effect.
#pragma once

#include <cstdint>

#include "common/geometry.h"

namespace sonarel {

struct Settings;

// Message numbers and flags with the values of the Windows headers.
namespace mouse_message {
inline constexpr std::uint32_t kMove = 0x0200;
inline constexpr std::uint32_t kLeftDown = 0x0201;
inline constexpr std::uint32_t kLeftUp = 0x0202;
inline constexpr std::uint32_t kRightDown = 0x0204;
inline constexpr std::uint32_t kRightUp = 0x0205;
inline constexpr std::uint32_t kWheel = 0x020A;
inline constexpr std::uint32_t kHorizontalWheel = 0x020E;
}  // namespace mouse_message

inline constexpr std::uint32_t kInjectedFlag = 0x00000001;  // LLMHF_INJECTED
inline constexpr std::int32_t kWheelDelta = 120;            // WHEEL_DELTA

// MOUSEINPUT dwFlags of a replay record.
namespace replay_flags {
inline constexpr std::uint32_t kMove = 0xA000;       // ABSOLUTE | MOVE_NOCOALESCE, no MOVE bit
inline constexpr std::uint32_t kLeftDown = 0x8002;   // ABSOLUTE | LEFTDOWN
inline constexpr std::uint32_t kLeftUp = 0x8004;     // ABSOLUTE | LEFTUP
inline constexpr std::uint32_t kRightDown = 0x8008;  // ABSOLUTE | RIGHTDOWN
inline constexpr std::uint32_t kRightUp = 0x8010;    // ABSOLUTE | RIGHTUP
}  // namespace replay_flags

// One hook event: the message and the MSLLHOOKSTRUCT fields that matter.
struct MouseEvent {
    std::uint32_t message = 0;
    Point pt;
    std::uint32_t mouse_data = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0;
    std::uintptr_t extra_info = 0;
};

// The MOUSEINPUT part of an INPUT_MOUSE record. dx and dy are screen pixels.
struct ReplayRecord {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::uint32_t mouse_data = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0;
    std::uintptr_t extra_info = 0;

    friend bool operator==(const ReplayRecord& a, const ReplayRecord& b) {
        return a.dx == b.dx && a.dy == b.dy && a.mouse_data == b.mouse_data && a.flags == b.flags &&
               a.time == b.time && a.extra_info == b.extra_info;
    }
};

// Builds the replay record of a move, a left or a right button event; records
// exist for those five messages only (flags 0 for any other).
ReplayRecord MakeReplayRecord(const MouseEvent& event);

enum class Decision : std::uint8_t { Pass, Swallow };

// Adds up one wheel axis's deltas into whole notches, as the system asks of
// wheels that report less than 120 per event. A change of direction starts
// afresh.
class WheelRemainder {
public:
    // The whole notches (truncated toward zero) after adding `delta`; what is
    // left over stays for the next event.
    std::int32_t Take(std::int16_t delta) {
        if ((remainder_ < 0 && delta > 0) || (remainder_ > 0 && delta < 0)) remainder_ = 0;
        remainder_ += delta;  // |remainder_| < 120 before: no overflow
        const std::int32_t notches = remainder_ / kWheelDelta;
        remainder_ -= notches * kWheelDelta;
        return notches;
    }
    void Clear() { remainder_ = 0; }

private:
    std::int32_t remainder_ = 0;
};

// Everything the engine does to its surroundings, called synchronously.
class GestureOperations {
public:
    // May a trigger press at this point start a gesture (window under the point,
    // then the eligibility rule)?
    virtual bool IsTriggerEligibleAt(Point pt) = 0;
    // Top-left corner for the indicator, from the cursor position now.
    virtual Point IndicatorPosition() = 0;
    virtual bool IsIndicatorVisible() = 0;
    virtual void MoveIndicator(Point top_left) = 0;  // size unchanged
    virtual void ShowIndicator() = 0;                // without activation, topmost
    virtual void HideIndicator() = 0;
    virtual void RepaintIndicator() = 0;
    virtual int GetLevel() = 0;
    virtual void SetLevel(std::uint32_t percent) = 0;  // stores at most 100
    virtual bool GetMute() = 0;
    virtual void SetMute(bool muted) = 0;
    // Inserts both records into the input stream as one uninterrupted, injected sequence.
    virtual void Replay(const ReplayRecord& first, const ReplayRecord& second) = 0;

protected:
    ~GestureOperations() = default;
};

class GestureEngine {
public:
    // Reads the trigger and the step from settings at every event, so a reload
    // takes effect at the next one.
    GestureEngine(const Settings& settings, GestureOperations& operations)
        : settings_(settings), operations_(operations) {}

    Decision OnEvent(int hook_code, const MouseEvent& event);

    // Back to idle, as after a trigger release with nothing to replay: the
    // indicator is hidden and the held press is dropped. For a hook installed
    // again, a desktop switch or a missed release. The releases of presses
    // that were swallowed and never replayed are still swallowed when they
    // come: the application never saw those presses.
    void Reset();

    // The witness saw a real release of `release_message`'s button at `time`
    // that the hook never passed to the engine (a secure desktop, an elevated
    // window in front, a hook ahead of ours): a gesture that this button's
    // press armed before then ends, by Reset.
    void OnMissedRelease(std::uint32_t release_message, std::uint32_t time);

    bool IsArmed() const { return armed_; }
    const ReplayRecord& HeldPress() const { return held_press_; }

    // The level after `notches` whole notches from `level` at `step` per notch:
    // never below 0, wide enough for any step.
    static std::uint32_t LevelAfterNotches(int level, std::int32_t notches, std::int32_t step);
    // The same for one wheel event of `wheel_delta` with nothing carried over:
    // its truncated notch count.
    static std::uint32_t SteppedLevel(int level, std::int16_t wheel_delta, std::int32_t step);

private:
    Decision OnTriggerPress(const MouseEvent& event, std::int32_t trigger);
    Decision OnOwedButton(std::uint32_t message);
    Decision OnOwedRelease(std::uint8_t button);
    Decision OnArmedEvent(const MouseEvent& event, std::int32_t trigger);
    Decision OnWheel(const MouseEvent& event);
    Decision OnMutePress(std::uint8_t button);
    Decision OnTriggerRelease(const MouseEvent& event);
    Decision OnMove(const MouseEvent& event);
    void PlaceAndShowIfHidden();
    void Follow();
    void Disarm();

    const Settings& settings_;
    GestureOperations& operations_;
    bool armed_ = false;
    std::int32_t armed_trigger_ = 0;  // the trigger setting of the press that armed the engine
    // Buttons (button_bit) whose press was swallowed and never replayed: their
    // release is swallowed too. A flag ends with that release, or with the
    // button's next press (its release was lost), and survives Reset.
    std::uint8_t unreleased_ = 0;
    ReplayRecord held_press_;
    // What each wheel axis (vertical, horizontal) has turned short of a whole
    // notch in this gesture: smooth wheels send fractions of 120.
    WheelRemainder wheel_remainder_[2];
};

}  // namespace sonarel
