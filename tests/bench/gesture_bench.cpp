// The hook's two hot paths: an event passed on while idle, and a wheel notch
// during a gesture (against free operations, so only the engine is measured).
#include <benchmark/benchmark.h>

#include "bench_operations.h"
#include "settings/settings.h"

namespace sonarel {
namespace {

void BM_PassThroughMove(benchmark::State& state) {
    Settings settings{Settings::Blank{}};
    bench::NullOperations ops;
    GestureEngine engine(settings, ops);
    MouseEvent move{mouse_message::kMove, {100, 100}, 0, 0, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.OnEvent(0, move));
        move.pt.x ^= 1;
    }
}
BENCHMARK(BM_PassThroughMove);

void BM_WheelNotch(benchmark::State& state) {
    Settings settings{Settings::Blank{}};
    settings.volume_delta = 5;
    bench::NullOperations ops;
    GestureEngine engine(settings, ops);
    engine.OnEvent(0, MouseEvent{mouse_message::kLeftDown, {100, 100}, 0, 0, 0, 0});
    const MouseEvent up{mouse_message::kWheel, {100, 100}, 120u << 16, 0, 0, 0};
    const MouseEvent down{mouse_message::kWheel, {100, 100}, static_cast<std::uint32_t>(-120) << 16, 0, 0, 0};
    bool raise = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.OnEvent(0, raise ? up : down));
        raise = !raise;
    }
}
BENCHMARK(BM_WheelNotch);

}  // namespace
}  // namespace sonarel

BENCHMARK_MAIN();
