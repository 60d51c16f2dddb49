#include "indicator/dpi.h"

#include <cstdlib>
#include <limits>

namespace sonarel {

std::int32_t ScaleForDpi(std::int32_t value, std::uint32_t to_dpi, std::uint32_t from_dpi) {
    if (from_dpi == 0) return 0;
    const std::int64_t product = std::int64_t{value} * to_dpi;
    const std::int64_t magnitude = (std::llabs(product) + from_dpi / 2) / from_dpi;
    const std::int64_t scaled = product < 0 ? -magnitude : magnitude;
    if (scaled > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (scaled < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(scaled);
}

}  // namespace sonarel
