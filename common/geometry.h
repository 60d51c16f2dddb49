// Plain screen geometry for the platform-free core. Same field layout and
// semantics as the Win32 POINT/SIZE/RECT, without dragging in <windows.h>.
#pragma once

#include <cstdint>

namespace sonarel {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend constexpr bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
    friend constexpr bool operator!=(Point a, Point b) { return !(a == b); }
};

struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// right and bottom are exclusive, as in RECT.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    friend constexpr bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend constexpr bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

// UnionRect: an empty operand is ignored; two empty operands give an empty
// (all-zero) rectangle.
constexpr Rect UnionOf(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b.IsEmpty() ? Rect{} : b;
    if (b.IsEmpty()) return a;
    return Rect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

}  // namespace sonarel
