// Time spent in the hook procedure's body (MSLLHOOKSTRUCT conversion and the
// engine's decision, with the real Win32 operations and volume backend) per
// pass-through event and per wheel notch, and in the witness's judgement of
// one raw button event: median and 99th percentile. The pass-through event is
// measured twice: the engine's decision alone, and the whole body, which also
// notes the call for the witness.
// Run under Wine by scripts/bench.sh with the test audio endpoint installed.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gesture/gesture_engine.h"
#include "gesture/gesture_operations_win32.h"
#include "gesture/mouse_hook.h"
#include "resident/main_window.h"
#include "settings/settings.h"

namespace {

using namespace sonarel;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

void Report(const char* what, std::vector<double> nanoseconds) {
    std::sort(nanoseconds.begin(), nanoseconds.end());
    std::printf("%-34s median %9.1f ns   p99 %9.1f ns   (%zu samples)\n", what, nanoseconds[nanoseconds.size() / 2],
                nanoseconds[nanoseconds.size() * 99 / 100], nanoseconds.size());
}

MSLLHOOKSTRUCT At(LONG x, LONG y, DWORD data = 0) {
    MSLLHOOKSTRUCT info{};
    info.pt = {x, y};
    info.mouseData = data;
    return info;
}

}  // namespace

int wmain() {
    CoInitialize(nullptr);
    Settings settings;
    CMainWindow window;
    window.SetSettings(&settings);
    const HWND hwnd = window.Create(GetModuleHandleW(nullptr));
    const SystemFacts facts = RecordSystemFacts(LoadLibraryW(L"shell32.dll"));  // as Sonarel does
    Win32GestureOperations operations(hwnd, window.Volume(), facts, window);
    GestureEngine engine(settings, operations);
    auto engine_only = [&](WPARAM message, const MSLLHOOKSTRUCT& info) {
        return engine.OnEvent(HC_ACTION, ToMouseEvent(message, info));
    };
    auto hook_body = [&](WPARAM message, const MSLLHOOKSTRUCT& info) { return HandleHookEvent(engine, message, info); };

    // Pass-through: too fast for the counter one by one, so batches of 1000,
    // the two bodies taking turns so that both see the same machine.
    constexpr int kBatch = 1000;
    std::vector<double> pass_engine, pass_body;
    volatile int swallowed = 0;
    for (int batch = 0; batch < 2000; ++batch) {
        double start = Now();
        for (int i = 0; i < kBatch; ++i) swallowed = swallowed + (engine_only(WM_MOUSEMOVE, At(i, batch)) == Decision::Swallow);
        pass_engine.push_back((Now() - start) * 1e9 / kBatch);
        start = Now();
        for (int i = 0; i < kBatch; ++i) swallowed = swallowed + (hook_body(WM_MOUSEMOVE, At(i, batch)) == Decision::Swallow);
        pass_body.push_back((Now() - start) * 1e9 / kBatch);
    }
    Report("pass-through, engine alone", pass_engine);
    Report("pass-through, hook body (witnessed)", pass_body);

    // One raw button event as the witness judges it, after GetRawInputData:
    // the conversion and the decision. The foreground window's integrity
    // level is read when another window comes to the front (measured apart)
    // and remembered while it stays there.
    RAWINPUTHEADER header{};
    header.dwType = RIM_TYPEMOUSE;
    header.hDevice = reinterpret_cast<HANDLE>(1);
    RAWMOUSE mouse{};
    mouse.usButtonFlags = RI_MOUSE_LEFT_BUTTON_DOWN;
    HookWatch watch;
    ForegroundCheck foreground(facts.own_integrity);
    std::vector<double> witness, new_foreground;
    for (int i = 0; i < 2000; ++i) {
        const DWORD now = GetTickCount();
        double start = Now();
        const WitnessedEvent event = ToWitnessedEvent(header, mouse, now, foreground);
        swallowed = swallowed + watch.OnWitnessed(event, now);
        witness.push_back((Now() - start) * 1e9);
        ForegroundCheck fresh(facts.own_integrity);
        start = Now();
        swallowed = swallowed + fresh.HookBypassed();
        new_foreground.push_back((Now() - start) * 1e9);
    }
    Report("witness: one raw button event", witness);
    Report("witness: a new foreground window", new_foreground);

    // Wheel notches during a gesture: level read and written through Core Audio.
    settings.mouse_button_pressed = Settings::kLeftTrigger;
    settings.volume_delta = 5;
    hook_body(WM_LBUTTONDOWN, At(300, 300));
    if (!engine.IsArmed()) {
        std::printf("the trigger press was refused: no gesture to measure\n");
        return 1;
    }
    std::vector<double> notch;
    for (int i = 0; i < 1000; ++i) {
        const DWORD delta = static_cast<DWORD>(static_cast<WORD>(i % 2 ? -WHEEL_DELTA : WHEEL_DELTA)) << 16;
        const double start = Now();
        hook_body(WM_MOUSEWHEEL, At(300, 300, delta));
        notch.push_back((Now() - start) * 1e9);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);  // paints
    }
    Report("wheel notch", notch);
    std::printf("level after the run: %d %% (each notch pair is +5 then -5)\n", window.Volume().GetLevel());
    DestroyWindow(hwnd);
    CoUninitialize();
    return swallowed;
}
