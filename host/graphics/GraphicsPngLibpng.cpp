// PNG output through libpng, row by row: the writer for true colour, and the former writer of
// every format, kept to measure and check the one-call writer against.
#include <png.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "host/graphics/Graphics.h"
#include "host/graphics/detail/Png.h"
#include "host/sysutils/SysUtils.h"

namespace vcl::detail {

namespace {

// Everything one libpng session needs, prepared beforehand: the function that calls setjmp must
// hold nothing with a destructor, since a longjmp out of libpng would skip it.
struct PngJob {
    std::ostream* Stream = nullptr;
    png_uint_32 Width = 0;
    png_uint_32 Height = 0;
    int BitDepth = 8;
    int ColorType = PNG_COLOR_TYPE_RGB;
    bool Bgr = false;
    png_bytepp Rows = nullptr;
    const png_color* Palette = nullptr;
    int PaletteSize = 0;
    png_uint_32 PixelsPerMetre = 0; // 0 leaves the resolution out
    // Kept here rather than in locals so that their values survive the longjmp.
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    char Error[256] = {};
};

void OnError(png_structp Png, png_const_charp Message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(Png));
    std::snprintf(job->Error, sizeof job->Error, "%s", Message);
    png_longjmp(Png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// No exception may cross libpng's C frames: a failing stream becomes a libpng error instead.
bool WriteBytes(std::ostream& S, const png_byte* Data, std::size_t Count) noexcept {
    try {
        S.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Count));
        return static_cast<bool>(S);
    } catch (...) {
        return false;
    }
}

bool FlushStream(std::ostream& S) noexcept {
    try {
        S.flush();
        return static_cast<bool>(S);
    } catch (...) {
        return false;
    }
}

void OnWrite(png_structp Png, png_bytep Data, std::size_t Count) {
    if (!WriteBytes(*static_cast<PngJob*>(png_get_io_ptr(Png))->Stream, Data, Count))
        png_error(Png, "the stream refused the data");
}

void OnFlush(png_structp Png) {
    if (!FlushStream(*static_cast<PngJob*>(png_get_io_ptr(Png))->Stream))
        png_error(Png, "the stream could not be flushed");
}

// False, with Job.Error set, when libpng gave up.
bool RunLibpng(PngJob& Job) {
    Job.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Job, OnError, OnWarning);
    if (!Job.Png) {
        std::snprintf(Job.Error, sizeof Job.Error, "libpng could not start");
        return false;
    }
    Job.Info = png_create_info_struct(Job.Png);
    if (!Job.Info) {
        png_destroy_write_struct(&Job.Png, nullptr);
        std::snprintf(Job.Error, sizeof Job.Error, "libpng could not start");
        return false;
    }
    if (setjmp(png_jmpbuf(Job.Png))) {
        png_destroy_write_struct(&Job.Png, &Job.Info);
        return false;
    }
    png_set_write_fn(Job.Png, &Job, OnWrite, OnFlush);
    // libpng's default cap of a million pixels a side is for readers; a bitmap may be wider.
    png_set_user_limits(Job.Png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_IHDR(Job.Png, Job.Info, Job.Width, Job.Height, Job.BitDepth, Job.ColorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (Job.Palette)
        png_set_PLTE(Job.Png, Job.Info, Job.Palette, Job.PaletteSize);
    if (Job.PixelsPerMetre)
        png_set_pHYs(Job.Png, Job.Info, Job.PixelsPerMetre, Job.PixelsPerMetre,
                     PNG_RESOLUTION_METER);
    png_write_info(Job.Png, Job.Info);
    if (Job.Bgr)
        png_set_bgr(Job.Png);
    png_write_image(Job.Png, Job.Rows);
    png_write_end(Job.Png, nullptr);
    png_destroy_write_struct(&Job.Png, &Job.Info);
    return true;
}

// Packs a pf8bit or pf24bit bitmap into 1-bit grey rows (1 = white), or returns false as soon as
// a pixel is neither pure black nor pure white.
bool PackBlackWhite(const TBitmap& B, std::vector<std::uint8_t>& Packed, std::size_t Stride) {
    const int w = B.GetWidth(), h = B.GetHeight();
    const bool indexed = B.GetPixelFormat() == pf8bit;
    Packed.assign(Stride * static_cast<std::size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = B.ScanLine(y);
        std::uint8_t* dst = Packed.data() + Stride * static_cast<std::size_t>(y);
        for (int x = 0; x < w; ++x) {
            std::uint8_t v;
            if (indexed) {
                v = src[x];
                if (v != palette::BlackIndex && v != palette::WhiteIndex)
                    return false;
                v = v == palette::WhiteIndex ? 0xFF : 0;
            } else {
                const std::uint8_t* p = src + 3 * static_cast<std::size_t>(x);
                v = p[0];
                if ((v != 0 && v != 0xFF) || p[1] != v || p[2] != v)
                    return false;
            }
            if (v)
                dst[x >> 3] = static_cast<std::uint8_t>(dst[x >> 3] | (0x80 >> (x & 7)));
        }
    }
    return true;
}

} // namespace

void SaveBitmapToPngRowByRow(const TBitmap& Bitmap, std::ostream& Stream, int Dpi) {
    PngJob job;
    job.Stream = &Stream;
    job.Width = static_cast<png_uint_32>(Bitmap.GetWidth());
    job.Height = static_cast<png_uint_32>(Bitmap.GetHeight());
    if (Dpi > 0) {
        const double perMetre = std::round(Dpi / 0.0254);
        if (perMetre > PNG_UINT_31_MAX)
            throw EWriteError("A resolution of " + std::to_string(Dpi) +
                              " dpi cannot be stored in a PNG");
        job.PixelsPerMetre = static_cast<png_uint_32>(perMetre);
    }

    const int h = Bitmap.GetHeight();
    std::vector<png_bytep> rows(static_cast<std::size_t>(h));
    std::vector<std::uint8_t> packed;
    std::array<png_color, 256> colors{};
    const std::size_t packedStride = (static_cast<std::size_t>(Bitmap.GetWidth()) + 7) / 8;
    const TPixelFormat format = Bitmap.GetPixelFormat();

    // libpng copies every row before it touches it, so the bitmap's own rows go in unchanged.
    auto own = [&] {
        for (int y = 0; y < h; ++y)
            rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(Bitmap.ScanLine(y));
    };
    if (format == pf1bit || PackBlackWhite(Bitmap, packed, packedStride)) {
        job.ColorType = PNG_COLOR_TYPE_GRAY;
        job.BitDepth = 1;
        if (format == pf1bit)
            own();
        else
            for (int y = 0; y < h; ++y)
                rows[static_cast<std::size_t>(y)] =
                    packed.data() + packedStride * static_cast<std::size_t>(y);
    } else if (format == pf8bit) {
        for (int i = 0; i < 256; ++i) {
            const TColor c = palette::Color(static_cast<std::uint8_t>(i));
            colors[static_cast<std::size_t>(i)] = {static_cast<png_byte>(GetRValue(c)),
                                                   static_cast<png_byte>(GetGValue(c)),
                                                   static_cast<png_byte>(GetBValue(c))};
        }
        job.ColorType = PNG_COLOR_TYPE_PALETTE;
        job.Palette = colors.data();
        job.PaletteSize = 256;
        own();
    } else {
        job.ColorType = PNG_COLOR_TYPE_RGB;
        job.Bgr = true; // rows hold blue, green, red
        own();
    }
    job.Rows = rows.data();
    if (!RunLibpng(job))
        throw EWriteError(std::string("Cannot write PNG: ") + job.Error);
}

} // namespace vcl::detail
