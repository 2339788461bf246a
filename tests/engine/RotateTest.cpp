// Quarter and half turns: the pixel mapping, sizes and formats.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/Barcode.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"

using namespace lumivex;

namespace {

void Noise(vcl::TBitmap& b, int W, int H, unsigned Salt) {
    b.SetPixelFormat(vcl::pf8bit);
    b.SetSize(W, H);
    std::mt19937 rng(Salt);
    for (int y = 0; y < H; ++y) {
        std::uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < W; ++x)
            row[x] = static_cast<std::uint8_t>(rng());
    }
}

TEST(Rotate, MapsEveryPixel) {
    // Sizes on both sides of the copy block, thin and single-pixel bitmaps.
    const std::pair<int, int> sizes[] = {{1, 1},   {1, 9},    {9, 1},  {64, 64},
                                         {65, 63}, {130, 67}, {200, 3}};
    for (const auto& [W, H] : sizes) {
        SCOPED_TRACE(std::to_string(W) + "x" + std::to_string(H));
        vcl::TBitmap src;
        Noise(src, W, H, static_cast<unsigned>(W * 1000 + H));
        vcl::TBitmap d90, d180, d270;
        RotateBmp90(src, d90);
        RotateBmp180(src, d180);
        RotateBmp270(src, d270);
        ASSERT_EQ(d90.GetWidth(), H);
        ASSERT_EQ(d90.GetHeight(), W);
        ASSERT_EQ(d180.GetWidth(), W);
        ASSERT_EQ(d180.GetHeight(), H);
        ASSERT_EQ(d270.GetWidth(), H);
        ASSERT_EQ(d270.GetHeight(), W);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const std::uint8_t v = src.ScanLine(y)[x];
                ASSERT_EQ(d90.ScanLine(x)[H - 1 - y], v);
                ASSERT_EQ(d180.ScanLine(H - 1 - y)[W - 1 - x], v);
                ASSERT_EQ(d270.ScanLine(W - 1 - x)[y], v);
            }
    }
}

TEST(Rotate, CornersOnScreen) {
    // The source's top-left pixel ends top-right (90), bottom-right (180), bottom-left (270).
    vcl::TBitmap src;
    src.SetSize(5, 3);
    src.GetCanvas().SetPixel(0, 0, vcl::clBlack);
    vcl::TBitmap d;
    RotateBmp90(src, d);
    EXPECT_EQ(d.GetCanvas().GetPixel(2, 0), vcl::clBlack);
    RotateBmp180(src, d);
    EXPECT_EQ(d.GetCanvas().GetPixel(4, 2), vcl::clBlack);
    RotateBmp270(src, d);
    EXPECT_EQ(d.GetCanvas().GetPixel(0, 4), vcl::clBlack);
}

TEST(Rotate, ConvertsBothBitmapsToEightBitsAndKeepsColours) {
    vcl::TBitmap src;
    src.SetPixelFormat(vcl::pf24bit);
    src.SetSize(4, 2);
    src.GetCanvas().SetPixel(1, 1, vcl::clRed);
    vcl::TBitmap dst;
    dst.SetPixelFormat(vcl::pf1bit);
    RotateBmp270(src, dst);
    EXPECT_EQ(src.GetPixelFormat(), vcl::pf8bit);
    EXPECT_EQ(dst.GetPixelFormat(), vcl::pf8bit);
    EXPECT_EQ(dst.GetCanvas().GetPixel(1, 2), vcl::clRed);
    EXPECT_EQ(dst.GetCanvas().GetPixel(0, 0), vcl::clWhite);
}

TEST(Rotate, TurnsCompose) {
    vcl::TBitmap original;
    Noise(original, 37, 21, 7);
    vcl::TBitmap a, b;
    a.Assign(original);
    // Into itself as well: a bitmap may be its own destination.
    for (int i = 0; i < 4; ++i)
        RotateBmp90(a, a);
    RotateBmp180(a, b);
    RotateBmp180(b, b);
    vcl::TBitmap c;
    RotateBmp90(b, c);
    RotateBmp270(c, a);
    ASSERT_EQ(a.GetWidth(), 37);
    ASSERT_EQ(a.GetHeight(), 21);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(a.ScanLine(y)[x], original.ScanLine(y)[x]);
}

TEST(Rotate, ATurnPastTheBitmapBudgetRaisesAndKeepsThePicture) {
    // 100 MB turned into itself needs its old and its new pixels at once: beside another 100 MB
    // bitmap, that passes what all bitmaps together may hold.
    constexpr int kW = 10000, kH = 10000;
    vcl::TBitmap other;
    other.SetPixelFormat(vcl::pf8bit);
    other.Reallocate(kW, kH);
    vcl::TBitmap b;
    b.SetPixelFormat(vcl::pf8bit);
    b.Reallocate(kW, kH + 1);
    for (int y : {0, kH / 2, kH})
        std::memset(b.ScanLine(y), y % 251, kW);
    b.ScanLine(kH)[kW - 1] = 7;
    const std::size_t inUse = vcl::BitmapBytesInUse();
    EXPECT_THROW(RotateBmp90(b, b), vcl::EOutOfResources);
    EXPECT_THROW(RotateBmp180(b, b), vcl::EOutOfResources);
    EXPECT_EQ(vcl::BitmapBytesInUse(), inUse);
    ASSERT_EQ(b.GetWidth(), kW);
    ASSERT_EQ(b.GetHeight(), kH + 1);
    EXPECT_EQ(b.ScanLine(kH / 2)[0], kH / 2 % 251);
    EXPECT_EQ(b.ScanLine(kH)[kW - 1], 7);
    // Into another bitmap, the destination's former pixels go before anything else: converted
    // to 8 bits first, they would pass the budget beside the picture.
    other.Reallocate(0, 0);
    vcl::TBitmap dest;
    dest.Reallocate(6700, 6420); // 129 MB in the device format, 43 MB in 8 bits
    EXPECT_NO_THROW(RotateBmp270(b, dest));
    EXPECT_EQ(dest.GetWidth(), kH + 1);
    EXPECT_EQ(dest.ScanLine(0)[kH], 7);
}

TEST(Rotate, EmptyBitmaps) {
    vcl::TBitmap src, dst;
    src.SetSize(0, 5);
    RotateBmp90(src, dst);
    EXPECT_EQ(dst.GetWidth(), 5);
    EXPECT_EQ(dst.GetHeight(), 0);
    RotateBmp180(src, dst);
    EXPECT_EQ(dst.GetWidth(), 0);
    EXPECT_EQ(dst.GetHeight(), 5);
}

} // namespace
