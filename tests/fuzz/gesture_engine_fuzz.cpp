// Fuzz target: GestureEngine driven by arbitrary sequences of what a real mouse
// and the rest of the system can produce, checked against a model of the
// application under the cursor and of the volume.
//
// Input: one operation per byte (others are skipped), some with operands:
//   L l R r    left / right button down / up (a button already in that state: skipped)
//   U D        wheel one notch up / down
//   W H        vertical / horizontal wheel, delta from the next two bytes
//   w h        vertical / horizontal wheel of a smooth wheel: a small delta,
//              the next byte as a signed number
//   M          move to the point of the next two bytes; P moves back to the last press point
//   I          another program's injected event: message chosen by the next byte
//   S          settings reload: trigger from the next byte (0, 2 or the byte
//              itself), step from the next four bytes
//   E          the eligibility of the next press flips
//   Z          the engine is reset (a hook installed again, a desktop switch)
// At the end every button still down is released.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include "gesture/gesture_engine.h"
#include "settings/settings.h"
#include "volume/volume_math.h"

namespace sonarel {
namespace {

using namespace mouse_message;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "gesture_engine_fuzz: %s\n", what);
    std::abort();
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return position_ >= size_; }
    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
    std::uint32_t Long() { return Word() | (static_cast<std::uint32_t>(Word()) << 16); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// The engine's surroundings: the application that receives what passes or is
// replayed, the volume, and the indicator.
class World final : public GestureOperations {
public:
    explicit World(GestureEngine* engine_for_replays) : engine_(engine_for_replays) {}

    // What the application sees, with the pairing rules of a real button.
    void Deliver(std::uint32_t message) {
        switch (message) {
            case kLeftDown: Press(app_left_); break;
            case kLeftUp: Release(app_left_); break;
            case kRightDown: Press(app_right_); break;
            case kRightUp: Release(app_right_); break;
            default: break;
        }
    }
    void ExpectAllReleased() const {
        if (app_left_ || app_right_) Fail("the application saw a press whose release never came");
    }

    bool IsTriggerEligibleAt(Point) override { return eligible; }
    Point IndicatorPosition() override { return Point{10, 10}; }
    bool IsIndicatorVisible() override { return visible; }
    void MoveIndicator(Point) override {}
    void ShowIndicator() override { visible = true; }
    void HideIndicator() override { visible = false; }
    void RepaintIndicator() override {}
    int GetLevel() override { return level_; }
    void SetLevel(std::uint32_t percent) override {
        const int stored = static_cast<int>(ClampLevel(percent));
        // The direction of the change follows notches times step.
        const std::int64_t change = std::int64_t{notches} * step;
        if ((change > 0 && stored < level_) || (change < 0 && stored > level_) || (change == 0 && stored != level_)) {
            Fail("a notch moved the level the wrong way");
        }
        level_ = stored;
    }
    bool GetMute() override { return muted_; }
    void SetMute(bool muted) override { muted_ = muted; }
    void Replay(const ReplayRecord& first, const ReplayRecord& second) override {
        for (const ReplayRecord* record : {&first, &second}) {
            const std::uint32_t message = MessageOf(record->flags);
            if (message == 0) Fail("a replay record names no mouse event");
            // The system hands injected input to the hook again, then to the application.
            MouseEvent event{message, Point{record->dx, record->dy}, record->mouse_data, kInjectedFlag, record->time,
                             record->extra_info};
            if (engine_->OnEvent(0, event) != Decision::Pass) Fail("the engine swallowed its own replay");
            Deliver(message);
        }
    }

    bool eligible = true;
    bool visible = false;
    std::int32_t notches = 0;  // of the wheel event being handled
    std::int32_t step = 0;

private:
    static std::uint32_t MessageOf(std::uint32_t flags) {
        switch (flags) {
            case replay_flags::kMove: return kMove;
            case replay_flags::kLeftDown: return kLeftDown;
            case replay_flags::kLeftUp: return kLeftUp;
            case replay_flags::kRightDown: return kRightDown;
            case replay_flags::kRightUp: return kRightUp;
            default: return 0;
        }
    }
    static void Press(bool& down) {
        if (down) Fail("the application saw a second press without a release");
        down = true;
    }
    static void Release(bool& down) {
        if (!down) Fail("the application saw a release without its press");
        down = false;
    }

    GestureEngine* engine_;
    bool app_left_ = false;
    bool app_right_ = false;
    int level_ = 50;
    bool muted_ = false;
};

class Session {
public:
    Session() : engine_(settings_, world_), world_(&engine_) {
        settings_.mouse_button_pressed = Settings::kLeftTrigger;
        settings_.volume_delta = Settings::kDefaultVolumeDelta;
    }

    void Run(Input& input) {
        while (!input.Empty()) Step(input);
        if (left_) Physical(kLeftUp);
        if (right_) Physical(kRightUp);
        world_.ExpectAllReleased();
        if (world_.visible) Fail("the indicator stayed up after every button was released");
    }

private:
    void Step(Input& input) {
        switch (input.Byte()) {
            case 'L': if (!left_) Physical(kLeftDown); break;
            case 'l': if (left_) Physical(kLeftUp); break;
            case 'R': if (!right_) Physical(kRightDown); break;
            case 'r': if (right_) Physical(kRightUp); break;
            case 'U': Physical(kWheel, kWheelDelta); break;
            case 'D': Physical(kWheel, -kWheelDelta); break;
            case 'W': Physical(kWheel, static_cast<std::int16_t>(input.Word())); break;
            case 'H': Physical(kHorizontalWheel, static_cast<std::int16_t>(input.Word())); break;
            case 'w': Physical(kWheel, static_cast<std::int8_t>(input.Byte())); break;
            case 'h': Physical(kHorizontalWheel, static_cast<std::int8_t>(input.Byte())); break;
            case 'M':
                cursor_ = Point{input.Byte(), input.Byte()};
                Physical(kMove);
                break;
            case 'P':
                cursor_ = press_point_;
                Physical(kMove);
                break;
            case 'I': Injected(input.Byte()); break;
            case 'S': {
                const std::uint8_t trigger = input.Byte();
                settings_.mouse_button_pressed = trigger == 0 ? 0 : trigger == 1 ? 2 : trigger;
                settings_.volume_delta = static_cast<std::int32_t>(input.Long());
                break;
            }
            case 'E': world_.eligible = !world_.eligible; break;
            case 'Z': engine_.Reset(); break;
            default: break;
        }
    }

    void Physical(std::uint32_t message, std::int16_t wheel = 0) {
        if (message == kLeftDown || message == kRightDown) press_point_ = cursor_;
        if (message == kLeftDown) left_ = true;
        if (message == kLeftUp) left_ = false;
        if (message == kRightDown) right_ = true;
        if (message == kRightUp) right_ = false;
        if (message == kWheel || message == kHorizontalWheel) {
            world_.notches = turned_[message == kHorizontalWheel].Turn(wheel);
        }
        world_.step = settings_.volume_delta;
        const MouseEvent event{message, cursor_, static_cast<std::uint32_t>(static_cast<std::uint16_t>(wheel)) << 16, 0,
                               ++time_, 0};
        if (engine_.OnEvent(0, event) == Decision::Pass) world_.Deliver(message);
        if (!left_ && !right_ && world_.visible) Fail("the indicator is up with no button held");
        // Outside a gesture, and from the press that arms one, nothing is carried over.
        if (!engine_.IsArmed() || engine_.HeldPress().time == time_) {
            for (Turned& axis : turned_) axis = Turned{};
        }
    }

    // The model of one wheel axis in a gesture: the whole notches of all it has
    // turned since the direction last changed, less those already counted.
    struct Turned {
        std::int64_t total = 0;
        std::int64_t counted = 0;
        std::int32_t Turn(std::int16_t delta) {
            if ((total < 0 && delta > 0) || (total > 0 && delta < 0)) total = counted = 0;
            total += delta;
            const std::int64_t whole = total / kWheelDelta;
            const auto notches = static_cast<std::int32_t>(whole - counted);
            counted = whole;
            return notches;
        }
    };

    void Injected(std::uint8_t choice) {
        static constexpr std::uint32_t kMessages[] = {kMove, kLeftDown, kLeftUp, kRightDown, kRightUp, kWheel,
                                                      kHorizontalWheel};
        const MouseEvent event{kMessages[choice % 7], cursor_, static_cast<std::uint32_t>(choice) << 16,
                               kInjectedFlag, ++time_, 0};
        // Another program's input is its own business: passed untouched, not paired here.
        const bool was_visible = world_.visible;
        if (engine_.OnEvent(0, event) != Decision::Pass) Fail("an injected event was not passed");
        if (world_.visible != was_visible) Fail("an injected event changed the indicator");
    }

    Settings settings_{Settings::Blank{}};
    GestureEngine engine_;
    World world_;
    bool left_ = false;
    bool right_ = false;
    Point cursor_{100, 100};
    Point press_point_{100, 100};
    std::uint32_t time_ = 0;
    Turned turned_[2];  // vertical, horizontal
};

}  // namespace
}  // namespace sonarel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sonarel::Input input(data, size);
    sonarel::Session session;
    session.Run(input);
    return 0;
}
