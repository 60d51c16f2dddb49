// Feeds N idle mouse moves through the engine, for callgrind to count the
// instructions of the pass-through path (see scripts/bench.sh).
#include <cstdlib>

#include "bench_operations.h"
#include "settings/settings.h"

namespace sonarel {

// Not inlined, so callgrind can attribute exactly this loop.
__attribute__((noinline)) int FeedPassThroughEvents(GestureEngine& engine, long count) {
    MouseEvent move{mouse_message::kMove, {100, 100}, 0, 0, 0, 0};
    int swallowed = 0;
    for (long i = 0; i < count; ++i) {
        move.pt.x = static_cast<std::int32_t>(i);
        swallowed += engine.OnEvent(0, move) == Decision::Swallow;
    }
    return swallowed;
}

}  // namespace sonarel

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    sonarel::Settings settings{sonarel::Settings::Blank{}};
    sonarel::bench::NullOperations ops;
    sonarel::GestureEngine engine(settings, ops);
    return sonarel::FeedPassThroughEvents(engine, count);
}
