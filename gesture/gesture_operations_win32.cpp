#include "gesture/gesture_operations_win32.h"

#include "gesture/trigger_rules.h"
#include "volume/volume_control.h"

namespace sonarel {
namespace {

INPUT ToInput(const ReplayRecord& record) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = record.dx;
    input.mi.dy = record.dy;
    input.mi.mouseData = record.mouse_data;
    input.mi.dwFlags = record.flags;
    input.mi.time = record.time;
    input.mi.dwExtraInfo = record.extra_info;
    return input;
}

}  // namespace

Point IndicatorPositionFor(HWND indicator) {
    RECT window{};
    ::GetWindowRect(indicator, &window);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    return PlaceIndicator({::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                          {::GetSystemMetrics(SM_CXCURSOR), ::GetSystemMetrics(SM_CYCURSOR)},
                          {window.right - window.left, window.bottom - window.top}, {cursor.x, cursor.y});
}

bool Win32GestureOperations::IsTriggerEligibleAt(Point pt) {
    return IsTriggerEligible(::WindowFromPoint(POINT{pt.x, pt.y}), facts_);
}

void Win32GestureOperations::MoveIndicator(Point top_left) {
    RECT window{};
    ::GetWindowRect(indicator_, &window);
    ::MoveWindow(indicator_, top_left.x, top_left.y, window.right - window.left, window.bottom - window.top, TRUE);
}

void Win32GestureOperations::ShowIndicator() {
    ::ShowWindow(indicator_, SW_SHOWNOACTIVATE);
    ::SetWindowPos(indicator_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

int Win32GestureOperations::GetLevel() { return volume_.GetLevel(); }
void Win32GestureOperations::SetLevel(std::uint32_t percent) { volume_.SetLevel(percent); }
bool Win32GestureOperations::GetMute() { return volume_.GetMute(); }
void Win32GestureOperations::SetMute(bool muted) { volume_.SetMute(muted); }

void Win32GestureOperations::Replay(const ReplayRecord& first, const ReplayRecord& second) {
    INPUT inputs[2] = {ToInput(first), ToInput(second)};
    ::SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace sonarel
