// A metafile replayed into cairo's SVG, PostScript and PDF surfaces, at an exact physical size.
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>
#include <ostream>
#include <string>
#include <utility>

#include "host/graphics/Metafile.h"
#include "host/graphics/detail/Fonts.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {

cairo_status_t Append(void* Closure, const unsigned char* Data, unsigned int Length) {
    static_cast<std::string*>(Closure)->append(reinterpret_cast<const char*>(Data), Length);
    return CAIRO_STATUS_SUCCESS;
}

// Black and white stand for the ink and the paper, as in the bitmap files' palettes.
void SetColor(cairo_t* Cr, TColor Color, const TInkColours& Colours) {
    TColor c = ColorToRGB(Color) & 0xFFFFFF;
    if (c == ColorToRGB(clBlack))
        c = ColorToRGB(Colours.Ink);
    else if (c == ColorToRGB(clWhite))
        c = ColorToRGB(Colours.Paper);
    cairo_set_source_rgb(Cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

// The picture turned clockwise as the engine turns a bitmap: unturned (x, y) lands at
// (UH - y, x) for 90, (UW - x, UH - y) for 180 and (y, UW - x) for 270.
void Turn(cairo_t* Cr, int Degrees, double UW, double UH) {
    constexpr double quarter = std::numbers::pi / 2;
    switch (Degrees) {
    case 90:
        cairo_translate(Cr, UH, 0);
        cairo_rotate(Cr, quarter);
        break;
    case 180:
        cairo_translate(Cr, UW, UH);
        cairo_rotate(Cr, 2 * quarter);
        break;
    case 270:
        cairo_translate(Cr, 0, UW);
        cairo_rotate(Cr, -quarter);
        break;
    default:
        break;
    }
}

void AppendUtf8(std::string& Out, std::uint32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

struct FaceDeleter {
    void operator()(cairo_font_face_t* F) const { cairo_font_face_destroy(F); }
};
using Face = std::unique_ptr<cairo_font_face_t, FaceDeleter>;

// The face at File, opened by cairo itself from the file fontconfig found for the bitmaps.
Face OpenFace(const std::string& File, int Index) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(File.c_str()));
    FcPatternAddInteger(pattern, FC_INDEX, Index);
    Face face(cairo_ft_font_face_create_for_pattern(pattern));
    FcPatternDestroy(pattern);
    return face;
}

void DrawText(cairo_t* Cr, const TMetafileText& T, const TInkColours& Colours) {
    cairo_save(Cr);
    Turn(Cr, T.Degrees, T.UnturnedWidth, T.UnturnedHeight);
    if (T.Opaque) {
        // The cell in the brush colour, and the glyphs cut to it, as on a bitmap.
        cairo_rectangle(Cr, T.X, T.Y, T.CellWidth, T.CellHeight);
        SetColor(Cr, T.CellColor, Colours);
        cairo_fill_preserve(Cr);
        cairo_clip(Cr);
    }
    if (T.FontFile.empty() || T.Em <= 0) {
        cairo_restore(Cr);
        return;
    }
    const Face face = OpenFace(T.FontFile, T.FontIndex);
    cairo_set_font_face(Cr, face.get());
    cairo_set_font_size(Cr, T.Em);
    // Outlines as drawn, without hinting: the bitmap's hinted advances place the glyphs.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(Cr, options);
    cairo_font_options_destroy(options);
    SetColor(Cr, T.Color, Colours);

    std::string utf8;
    for (const char c : T.Text)
        AppendUtf8(utf8, detail::CodePointOf(static_cast<unsigned char>(c)));
    const double baseline = static_cast<double>(T.Y) + T.Ascent;
    cairo_glyph_t* glyphs = nullptr;
    cairo_text_cluster_t* clusters = nullptr;
    int glyphCount = 0, clusterCount = 0;
    cairo_text_cluster_flags_t flags{};
    if (cairo_scaled_font_text_to_glyphs(
            cairo_get_scaled_font(Cr), T.X, baseline, utf8.c_str(), static_cast<int>(utf8.size()),
            &glyphs, &glyphCount, &clusters, &clusterCount, &flags) == CAIRO_STATUS_SUCCESS) {
        // One glyph per byte, at the origin the bitmap canvas gave it.
        if (static_cast<std::size_t>(glyphCount) == T.Origins.size())
            for (int i = 0; i < glyphCount; ++i) {
                glyphs[i].x = T.X + T.Origins[static_cast<std::size_t>(i)];
                glyphs[i].y = baseline;
            }
        cairo_show_text_glyphs(Cr, utf8.c_str(), static_cast<int>(utf8.size()), glyphs, glyphCount,
                               clusters, clusterCount, flags);
    }
    cairo_glyph_free(glyphs);
    cairo_text_cluster_free(clusters);
    cairo_restore(Cr);
}

// Cairo writes the root's size in the picture's units, as its view box; the size becomes the
// physical one, and the view box maps the units onto it.
void SetSvgSize(std::string& Svg, double WidthMm, double HeightMm) {
    const std::size_t root = Svg.find("<svg");
    auto length = [](double Mm) {
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "%.6f", Mm);
        std::string s = buffer;
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.')
            s.pop_back();
        return s + "mm";
    };
    for (const auto& [name, mm] :
         {std::pair{" width=\"", WidthMm}, std::pair{" height=\"", HeightMm}}) {
        const std::size_t at = root == std::string::npos ? root : Svg.find(name, root);
        if (at == std::string::npos)
            throw EWriteError("cannot write the vector file: cairo's SVG has no size");
        const std::size_t from = at + std::strlen(name), to = Svg.find('"', from);
        Svg.replace(from, to - from, length(mm));
    }
}

void Replay(cairo_t* Cr, const TMetafile& Metafile, const TInkColours& Colours) {
    // Fills of one colour in a row are one path: a barcode's bars are one fill, not hundreds.
    bool pending = false;
    TColor colour = clBlack;
    auto flush = [&] {
        if (!pending)
            return;
        SetColor(Cr, colour, Colours);
        cairo_fill(Cr);
        pending = false;
    };
    for (const TMetafileRecord& record : Metafile.Records()) {
        if (const auto* f = std::get_if<TMetafileFill>(&record)) {
            if (pending && (f->Color & 0xFFFFFF) != (colour & 0xFFFFFF))
                flush();
            colour = f->Color;
            pending = true;
            cairo_rectangle(Cr, f->Rect.Left, f->Rect.Top,
                            static_cast<double>(f->Rect.Right) - f->Rect.Left,
                            static_cast<double>(f->Rect.Bottom) - f->Rect.Top);
            continue;
        }
        flush();
        DrawText(Cr, std::get<TMetafileText>(record), Colours);
    }
    flush();
}

} // namespace

void SaveMetafileToVector(const TMetafile& Metafile, TVectorFormat Format, double UnitMillimetres,
                          std::ostream& Stream, const TInkColours& Colours) {
    if (Metafile.Empty())
        throw EInvalidGraphic("an empty picture makes no vector file");
    if (!std::isfinite(UnitMillimetres) || UnitMillimetres <= 0)
        throw EInvalidGraphic("a picture's unit must be a positive length");
    const double W = Metafile.GetWidth(), H = Metafile.GetHeight();
    // Cairo's coordinates are fixed-point numbers with 24 bits of whole units.
    constexpr double largest = 1 << 23;
    if (W >= largest || H >= largest)
        throw EInvalidGraphic("the picture is too large for a vector file");
    // Cairo keeps a path's points in 1/256 of its device unit: the picture is drawn in its own
    // units, whole numbers that it keeps exactly, and the unit's length goes into the file
    // once, as SVG's view box or as the scale of the PDF or PostScript page.
    std::string bytes;
    cairo_surface_t* surface = nullptr;
    cairo_surface_t* picture = nullptr;
    const double points = UnitMillimetres * 72 / 25.4;
    switch (Format) {
    case TVectorFormat::Svg:
        surface = cairo_svg_surface_create_for_stream(Append, &bytes, W, H);
        cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_USER);
        break;
    case TVectorFormat::Eps:
        surface = cairo_ps_surface_create_for_stream(Append, &bytes, W * points, H * points);
        cairo_ps_surface_set_eps(surface, 1);
        break;
    case TVectorFormat::Pdf:
        surface = cairo_pdf_surface_create_for_stream(Append, &bytes, W * points, H * points);
        break;
    }
    cairo_t* cr = nullptr;
    if (Format == TVectorFormat::Svg) {
        cr = cairo_create(surface);
        Replay(cr, Metafile, Colours);
    } else {
        // Painted from a recording, which the PDF and PostScript writers copy as a form of its
        // own, in its own units, placed with one scale.
        const cairo_rectangle_t extents{0, 0, W, H};
        picture = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
        cairo_t* rec = cairo_create(picture);
        Replay(rec, Metafile, Colours);
        cairo_destroy(rec);
        cr = cairo_create(surface);
        cairo_scale(cr, points, points);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_paint(cr);
    }
    cairo_show_page(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_status_t status = cairo_surface_status(surface);
    if (picture) {
        if (status == CAIRO_STATUS_SUCCESS)
            status = cairo_surface_status(picture);
        cairo_surface_destroy(picture);
    }
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw EWriteError(std::string("cannot write the vector file: ") +
                          cairo_status_to_string(status));
    if (Format == TVectorFormat::Svg)
        SetSvgSize(bytes, W * UnitMillimetres, H * UnitMillimetres);
    Stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!Stream)
        throw EWriteError("cannot write the vector file");
}

} // namespace vcl
