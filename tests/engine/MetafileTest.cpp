// The picture CreateBC records on a metafile canvas is the one it paints on a bitmap: played back
// onto a bitmap's canvas, every pixel agrees, for every symbology, turn and text setting.

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "engine/Barcode.h"
#include "engine/Symbology.h"
#include "host/graphics/Metafile.h"

namespace lumivex {
namespace {

// Plays Metafile back through a bitmap canvas, in the font the recording was made with.
void PlayBack(const vcl::TMetafile& Metafile, const vcl::TFont& Font, vcl::TBitmap& Bitmap) {
    Bitmap.SetPixelFormat(vcl::pf8bit);
    Bitmap.SetSize(Metafile.GetWidth(), Metafile.GetHeight());
    vcl::TCanvas& canvas = Bitmap.GetCanvas();
    canvas.SetFont(Font);
    for (const vcl::TMetafileRecord& record : Metafile.Records()) {
        if (const auto* fill = std::get_if<vcl::TMetafileFill>(&record)) {
            canvas.GetBrush().SetColor(fill->Color);
            canvas.FillRect(fill->Rect);
            continue;
        }
        const auto& text = std::get<vcl::TMetafileText>(record);
        canvas.GetFont().SetColor(text.Color);
        canvas.GetBrush().SetColor(text.CellColor);
        canvas.GetBrush().SetStyle(text.Opaque ? vcl::bsSolid : vcl::bsClear);
        if (text.Degrees == 0)
            canvas.TextOut(text.X, text.Y, text.Text);
        else
            canvas.TurnedTextOut(text.Degrees, text.UnturnedWidth, text.UnturnedHeight, text.X,
                                 text.Y, text.Text);
        canvas.GetBrush().SetStyle(vcl::bsSolid);
    }
}

TEST(MetafileCanvas, RecordsWhatTheBitmapShows) {
    for (const TSymbology& row : BC_Symbologies)
        for (const int scale : {1, 3})
            for (const bool interpret : {false, true})
                for (int turn = 0; turn < RotateCount; ++turn) {
                    SCOPED_TRACE(std::string(row.Name) + " scale " + std::to_string(scale) +
                                 (interpret ? " text" : " no text") + " turn " +
                                 std::to_string(turn));
                    const std::string text(row.Sample);
                    const int height = 50 * scale;
                    const auto rotate = static_cast<TbcRotate>(turn);
                    vcl::TBitmap bitmap;
                    bitmap.SetPixelFormat(vcl::pf8bit);
                    bitmap.GetCanvas().GetFont().SetName("Courier New");
                    bitmap.SetHeight(height);
                    CreateBC(bitmap, row.Type, scale, height, text, interpret, rotate);

                    vcl::TMetafile metafile;
                    vcl::TMetafileCanvas canvas(metafile);
                    canvas.GetFont().SetName("Courier New");
                    metafile.SetHeight(height);
                    CreateBC(canvas, row.Type, scale, height, text, interpret, rotate);
                    ASSERT_EQ(metafile.GetWidth(), bitmap.GetWidth());
                    ASSERT_EQ(metafile.GetHeight(), bitmap.GetHeight());
                    vcl::TBitmap played;
                    PlayBack(metafile, canvas.GetFont(), played);
                    int differing = 0;
                    for (int y = 0; y < bitmap.GetHeight(); ++y)
                        for (int x = 0; x < bitmap.GetWidth(); ++x)
                            differing += bitmap.PixelColor(x, y) != played.PixelColor(x, y);
                    EXPECT_EQ(differing, 0);
                }
}

} // namespace
} // namespace lumivex
