#include "gesture/gesture_engine.h"

#include <algorithm>
#include <limits>

#include "settings/settings.h"

namespace sonarel {
namespace {

using namespace mouse_message;

// The trigger's press message for a setting; 0 (matches no event) when the
// setting makes no button a trigger.
constexpr std::uint32_t TriggerDownFor(std::int32_t trigger) {
    return trigger == Settings::kLeftTrigger ? kLeftDown : trigger == Settings::kRightTrigger ? kRightDown : 0;
}

// The bit of the left or right button of a press or release; 0 for others.
constexpr std::uint8_t kLeftButton = 1, kRightButton = 2;
constexpr std::uint8_t ButtonOf(std::uint32_t message) {
    return message == kLeftDown || message == kLeftUp ? kLeftButton
           : message == kRightDown || message == kRightUp ? kRightButton
                                                           : 0;
}
constexpr bool IsPress(std::uint32_t message) { return message == kLeftDown || message == kRightDown; }

}  // namespace

ReplayRecord MakeReplayRecord(const MouseEvent& event) {
    std::uint32_t flags = 0;
    switch (event.message) {
        case kMove: flags = replay_flags::kMove; break;
        case kLeftDown: flags = replay_flags::kLeftDown; break;
        case kLeftUp: flags = replay_flags::kLeftUp; break;
        case kRightDown: flags = replay_flags::kRightDown; break;
        case kRightUp: flags = replay_flags::kRightUp; break;
        default: break;
    }
    // The event's own flags (injected and the like) are deliberately not carried over.
    return ReplayRecord{event.pt.x, event.pt.y, event.mouse_data, flags, event.time, event.extra_info};
}

std::uint32_t GestureEngine::LevelAfterNotches(int level, std::int32_t notches, std::int32_t step) {
    // 64-bit: a 32-bit notch count times a 32-bit step cannot overflow it.
    const std::int64_t next = std::int64_t{level} + std::int64_t{notches} * step;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(next, 0, std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t GestureEngine::SteppedLevel(int level, std::int16_t wheel_delta, std::int32_t step) {
    return LevelAfterNotches(level, wheel_delta / kWheelDelta, step);
}

Decision GestureEngine::OnEvent(int hook_code, const MouseEvent& event) {
    if (hook_code < 0 || (event.flags & kInjectedFlag) != 0) return Decision::Pass;
    if (!armed_) {
        // The common case, kept short: outside a gesture only a trigger press,
        // or a button whose swallowed press is still owed its release, is ours.
        const std::int32_t trigger = settings_.mouse_button_pressed;
        if (event.message == TriggerDownFor(trigger)) return OnTriggerPress(event, trigger);
        if (unreleased_ != 0) return OnOwedButton(event.message);
        return Decision::Pass;
    }
    // A reload takes effect from the next gesture: this one goes on with the
    // buttons that started it, and ends with its own trigger's release.
    if (event.message == TriggerDownFor(armed_trigger_)) return OnTriggerPress(event, armed_trigger_);
    return OnArmedEvent(event, armed_trigger_);
}

Decision GestureEngine::OnOwedButton(std::uint32_t message) {
    const std::uint8_t button = ButtonOf(message);
    if (IsPress(message)) {
        unreleased_ &= static_cast<std::uint8_t>(~button);  // the release it was owed never came
        return Decision::Pass;
    }
    return OnOwedRelease(button);
}

Decision GestureEngine::OnOwedRelease(std::uint8_t button) {
    if ((unreleased_ & button) == 0) return Decision::Pass;
    // The application never saw the press, so it must not see its release
    // either, even when that comes after the trigger's or after a reset.
    unreleased_ &= static_cast<std::uint8_t>(~button);
    return Decision::Swallow;
}

Decision GestureEngine::OnTriggerPress(const MouseEvent& event, std::int32_t trigger) {
    const std::uint8_t button = ButtonOf(event.message);
    unreleased_ &= static_cast<std::uint8_t>(~button);  // a new press: an earlier one's release is lost
    if (!operations_.IsTriggerEligibleAt(event.pt)) return Decision::Pass;
    unreleased_ |= button;
    // A press while already armed replaces the held one; visibility stays.
    armed_ = true;
    armed_trigger_ = trigger;
    held_press_ = MakeReplayRecord(event);
    for (WheelRemainder& remainder : wheel_remainder_) remainder.Clear();
    return Decision::Swallow;
}

void GestureEngine::Disarm() {
    armed_ = false;
    for (WheelRemainder& remainder : wheel_remainder_) remainder.Clear();
}

void GestureEngine::Reset() {
    Disarm();
    held_press_ = ReplayRecord{};
    if (operations_.IsIndicatorVisible()) operations_.HideIndicator();
}

void GestureEngine::OnMissedRelease(std::uint32_t release_message, std::uint32_t time) {
    if (!armed_ || ButtonOf(release_message) != ButtonOf(TriggerDownFor(armed_trigger_)) || IsPress(release_message)) {
        return;
    }
    // Tick counts wrap: a release at or after the held press ends its gesture.
    if (static_cast<std::int32_t>(time - held_press_.time) < 0) return;
    Reset();
    // That release has gone by: nothing is owed to it any more.
    unreleased_ &= static_cast<std::uint8_t>(~ButtonOf(release_message));
}

Decision GestureEngine::OnArmedEvent(const MouseEvent& event, std::int32_t trigger) {
    const bool left_trigger = trigger == Settings::kLeftTrigger;
    const bool right_trigger = trigger == Settings::kRightTrigger;
    switch (event.message) {
        case kWheel:
        case kHorizontalWheel:
            return OnWheel(event);
        case kMove:
            return OnMove(event);
        // The mute button's release is swallowed when its press was; one
        // pressed before the gesture began reaches the application.
        case kLeftUp:
            return left_trigger ? OnTriggerRelease(event) : OnOwedRelease(kLeftButton);
        case kRightUp:
            return right_trigger ? OnTriggerRelease(event) : OnOwedRelease(kRightButton);
        case kRightDown:
            return left_trigger ? OnMutePress(kRightButton) : Decision::Pass;
        case kLeftDown:
            return right_trigger ? OnMutePress(kLeftButton) : Decision::Pass;
        default:
            return Decision::Pass;
    }
}

Decision GestureEngine::OnWheel(const MouseEvent& event) {
    PlaceAndShowIfHidden();
    const auto wheel_delta = static_cast<std::int16_t>(event.mouse_data >> 16);
    const std::int32_t notches = wheel_remainder_[event.message == kHorizontalWheel].Take(wheel_delta);
    const int level = operations_.GetLevel();
    // Written back even when unchanged: a partial notch rewrites the level read.
    operations_.SetLevel(LevelAfterNotches(level, notches, settings_.volume_delta));
    operations_.RepaintIndicator();
    return Decision::Swallow;
}

Decision GestureEngine::OnMutePress(std::uint8_t button) {
    unreleased_ |= button;
    PlaceAndShowIfHidden();
    operations_.SetMute(!operations_.GetMute());
    operations_.RepaintIndicator();
    return Decision::Swallow;
}

Decision GestureEngine::OnTriggerRelease(const MouseEvent& event) {
    Disarm();
    unreleased_ &= static_cast<std::uint8_t>(~ButtonOf(event.message));
    if (operations_.IsIndicatorVisible()) {
        // A gesture took place: the application never sees its press or release.
        operations_.HideIndicator();
    } else {
        operations_.Replay(held_press_, MakeReplayRecord(event));
    }
    return Decision::Swallow;
}

Decision GestureEngine::OnMove(const MouseEvent& event) {
    // With whole-pixel coordinates the truncated distance from the press point
    // is 0 exactly when the points are equal.
    if (event.pt == Point{held_press_.dx, held_press_.dy}) return Decision::Swallow;
    if (operations_.IsIndicatorVisible()) {
        Follow();
        return Decision::Pass;
    }
    // No notch or mute press yet: this is the start of an ordinary drag. The
    // replayed press owes the application its release.
    Disarm();
    unreleased_ &= static_cast<std::uint8_t>(~ButtonOf(TriggerDownFor(armed_trigger_)));
    operations_.HideIndicator();
    operations_.Replay(held_press_, MakeReplayRecord(event));
    return Decision::Swallow;
}

void GestureEngine::PlaceAndShowIfHidden() {
    if (operations_.IsIndicatorVisible()) return;
    Follow();
    operations_.ShowIndicator();
}

void GestureEngine::Follow() { operations_.MoveIndicator(operations_.IndicatorPosition()); }

}  // namespace sonarel
