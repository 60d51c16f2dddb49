// Icon resource 206 as the programs load it, every size included: the
// 128-pixel image is stored as PNG.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/product.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

TEST(ProgramIconTest, EverySizeLoadsAtItsOwnSize) {
    for (const int size : {16, 32, 64, 128}) {
        const win32::unique_hicon icon(static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info)) << size;
        BITMAP color{};
        GetObjectW(info.hbmColor, sizeof color, &color);
        EXPECT_EQ(color.bmWidth, size);
        EXPECT_EQ(color.bmHeight, size);
        EXPECT_EQ(color.bmBitsPixel, 32) << "the 32-bit image of " << size << " pixels";
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

}  // namespace
}  // namespace sonarel
