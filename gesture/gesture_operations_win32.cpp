#include "gesture/gesture_operations_win32.h"

#include "gesture/trigger_rules.h"
#include "indicator/indicator_paint.h"
#include "volume/volume_control.h"
#include "win32/proc_address.h"

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

// Functions of later systems, looked up once.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int type, UINT* x, UINT* y);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int index, UINT dpi);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

GetDpiForMonitorFn DpiForMonitorFunction() {
    // shcore.dll stays loaded for the process's life.
    static const auto function = win32::ProcAddress<GetDpiForMonitorFn>(::LoadLibraryW(L"shcore.dll"), "GetDpiForMonitor");
    return function;
}

int SystemMetricAt(int index, UINT dpi, UINT system_dpi) {
    static const auto for_dpi = win32::User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (dpi == system_dpi || for_dpi == nullptr) return ::GetSystemMetrics(index);
    return for_dpi(index, dpi);
}

}  // namespace

UINT MonitorDpi(HMONITOR monitor) {
    static const UINT system_dpi = SystemDpi();
    UINT x = 0, y = 0;
    if (const GetDpiForMonitorFn function = DpiForMonitorFunction();
        function != nullptr && monitor != nullptr && SUCCEEDED(function(monitor, kEffectiveDpi, &x, &y)) && y != 0) {
        return y;
    }
    return system_dpi;
}

IndicatorPlacement PlaceIndicatorFor(IndicatorSurface& surface) {
    static const UINT system_dpi = SystemDpi();
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const HMONITOR monitor = ::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const Rect area = monitor != nullptr && ::GetMonitorInfoW(monitor, &info)
                          ? Rect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom}
                          : Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    IndicatorPlacement placement;
    placement.dpi = MonitorDpi(monitor);
    placement.size = surface.SizeAtDpi(placement.dpi);
    const Size cursor_size{SystemMetricAt(SM_CXCURSOR, placement.dpi, system_dpi),
                           SystemMetricAt(SM_CYCURSOR, placement.dpi, system_dpi)};
    placement.top_left = PlaceIndicatorOnMonitor(area, cursor_size, {placement.size.cx, placement.size.cy},
                                                 {cursor.x, cursor.y});
    return placement;
}

Point Win32GestureOperations::IndicatorPosition() {
    placement_ = PlaceIndicatorFor(surface_);
    return placement_.top_left;
}

bool Win32GestureOperations::IsTriggerEligibleAt(Point pt) {
    return IsTriggerEligible(::WindowFromPoint(POINT{pt.x, pt.y}), facts_);
}

void Win32GestureOperations::MoveIndicator(Point top_left) {
    // The engine moves it to where IndicatorPosition placed it: at the size of
    // that monitor's DPI.
    surface_.PlacedAtDpi(POINT{top_left.x, top_left.y}, placement_.dpi);
    ::MoveWindow(indicator_, top_left.x, top_left.y, placement_.size.cx, placement_.size.cy, TRUE);
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
