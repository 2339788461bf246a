// The recording canvas: what a bitmap's canvas would paint, kept as fills and strings.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <tuple>

#include "host/graphics/Metafile.h"
#include "host/graphics/detail/Fonts.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {

int Saturate(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

void TMetafileCanvas::FillRect(const TRect& R) {
    if (GetBrush().GetStyle() == bsClear || R.Left >= R.Right || R.Top >= R.Bottom)
        return;
    FMetafile->Add(TMetafileFill{R, GetBrush().GetColor()});
}

void TMetafileCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    // The same pixels a bitmap's Rectangle covers: the inside, then the pen's four edges where
    // the pen differs from the brush.
    const int x1 = std::min(X1, X2), x2 = std::max(X1, X2);
    const int y1 = std::min(Y1, Y2), y2 = std::max(Y1, Y2);
    if (x1 == x2 || y1 == y2)
        return;
    const bool pen = GetPen().GetStyle() != psClear;
    if (GetBrush().GetStyle() != bsClear) {
        FillRect(Rect(x1, y1, x2, y2));
        if (!pen || (GetPen().GetColor() & 0xFFFFFF) == (GetBrush().GetColor() & 0xFFFFFF))
            return;
    }
    if (!pen)
        return;
    const std::int64_t w = GetPen().GetWidth();
    const TColor c = GetPen().GetColor();
    auto edge = [&](std::int64_t a, std::int64_t b, std::int64_t cc, std::int64_t d) {
        FMetafile->Add(TMetafileFill{Rect(Saturate(a), Saturate(b), Saturate(cc), Saturate(d)), c});
    };
    edge(x1, y1, x2, std::min<std::int64_t>(y1 + w, y2));
    edge(x1, std::max<std::int64_t>(y2 - w, y1), x2, y2);
    edge(x1, y1, std::min<std::int64_t>(x1 + w, x2), y2);
    edge(std::max<std::int64_t>(x2 - w, x1), y1, x2, y2);
}

void TMetafileCanvas::Draw(int, int, const TBitmap&) {
    throw EInvalidGraphic("a metafile canvas records no bitmaps");
}

void TMetafileCanvas::TextOut(int X, int Y, const std::string& Text) {
    this->Text(0, FMetafile->GetWidth(), FMetafile->GetHeight(), X, Y, Text);
}

void TMetafileCanvas::TurnedTextOut(int Degrees, int UnturnedWidth, int UnturnedHeight, int X,
                                    int Y, const std::string& Text) {
    const int UW = std::max(UnturnedWidth, 0), UH = std::max(UnturnedHeight, 0);
    const bool quarter = Degrees == 90 || Degrees == 270;
    if ((!quarter && Degrees != 180) || FMetafile->GetWidth() != (quarter ? UH : UW) ||
        FMetafile->GetHeight() != (quarter ? UW : UH))
        throw EInvalidGraphic("TurnedTextOut needs the metafile sized as the turned picture");
    this->Text(Degrees, UW, UH, X, Y, Text);
}

void TMetafileCanvas::Text(int Degrees, int UW, int UH, int X, int Y, const std::string& Text) {
    if (Text.empty() || UW == 0 || UH == 0)
        return;
    detail::SizedFont& font = Sized();
    TMetafileText t;
    t.Text = Text;
    t.X = X;
    t.Y = Y;
    t.Degrees = Degrees;
    t.UnturnedWidth = UW;
    t.UnturnedHeight = UH;
    std::tie(t.FontFile, t.FontIndex) = detail::FontFileOf(GetFont());
    t.Em = font.Em;
    t.Ascent = font.Ascent;
    t.CellHeight = font.CellHeight();
    t.Origins.reserve(Text.size());
    std::int64_t pen = 0;
    for (const char c : Text) {
        t.Origins.push_back(Saturate(pen));
        pen += font.GlyphOf(static_cast<unsigned char>(c)).Advance;
    }
    t.CellWidth = Saturate(pen);
    t.Color = GetFont().GetColor();
    t.Opaque = GetBrush().GetStyle() == bsSolid;
    t.CellColor = GetBrush().GetColor();
    FMetafile->Add(std::move(t));
}

} // namespace vcl
