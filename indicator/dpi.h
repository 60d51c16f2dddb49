// The indicator's measures per monitor DPI: plain arithmetic and a small
// cache, so that a monitor of another DPI costs a measurement once.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace sonarel {

inline constexpr std::uint32_t kDefaultDpi = 96;  // 100 %

// value * to_dpi / from_dpi, rounded half away from zero as MulDiv rounds; 0
// for a DPI of 0.
std::int32_t ScaleForDpi(std::int32_t value, std::uint32_t to_dpi, std::uint32_t from_dpi);

// One T per DPI, made the first time that DPI is asked for. A desk has few
// DPIs, so a short list does.
template <typename T>
class PerDpi {
public:
    template <typename Make>
    T& At(std::uint32_t dpi, Make&& make) {
        for (auto& entry : entries_) {
            if (entry.first == dpi) return entry.second;
        }
        entries_.emplace_back(dpi, make(dpi));
        return entries_.back().second;
    }
    std::size_t Count() const { return entries_.size(); }

private:
    std::vector<std::pair<std::uint32_t, T>> entries_;
};

}  // namespace sonarel
