// The recording canvas and the vector files it is written to: what is recorded, and a page of
// exactly the picture's physical size in each format.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <variant>

#include "host/graphics/Metafile.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {
namespace {

TEST(MetafileCanvas, RecordsFillsAndTextAsABitmapCanvasMeasuresThem) {
    TMetafile metafile;
    metafile.SetSize(40, 20);
    TMetafileCanvas canvas(metafile);
    canvas.GetFont().SetName("Courier New");
    canvas.GetFont().SetSize(8);
    canvas.GetBrush().SetColor(clBlack);
    canvas.GetPen().SetColor(clRed);
    canvas.Rectangle(9, 2, 1, 12); // the inside, then four edges in the pen's colour
    canvas.GetBrush().SetColor(clWhite);
    canvas.TextOut(3, 4, "A1");
    TBitmap bitmap;
    bitmap.GetCanvas().SetFont(canvas.GetFont());

    ASSERT_EQ(metafile.Records().size(), 6u);
    const auto& inside = std::get<TMetafileFill>(metafile.Records()[0]);
    EXPECT_EQ(inside.Rect.Left, 1);
    EXPECT_EQ(inside.Rect.Right, 9);
    EXPECT_EQ(inside.Color, clBlack);
    EXPECT_EQ(std::get<TMetafileFill>(metafile.Records()[4]).Color, clRed);
    const auto& text = std::get<TMetafileText>(metafile.Records()[5]);
    EXPECT_EQ(text.Text, "A1");
    EXPECT_FALSE(text.FontFile.empty());
    EXPECT_EQ(text.Em, 11);
    EXPECT_EQ(text.CellWidth, bitmap.GetCanvas().TextWidth("A1"));
    EXPECT_EQ(text.CellHeight, bitmap.GetCanvas().TextHeight("A1"));
    ASSERT_EQ(text.Origins.size(), 2u);
    EXPECT_EQ(text.Origins[1], bitmap.GetCanvas().TextWidth("A"));
    EXPECT_TRUE(text.Opaque);

    // A turn needs the metafile sized as the turned picture; a metafile has no pixels to draw.
    EXPECT_THROW(canvas.TurnedTextOut(90, 40, 20, 0, 0, "A"), EInvalidGraphic);
    canvas.TurnedTextOut(180, 40, 20, 0, 0, "A");
    EXPECT_THROW(canvas.Draw(0, 0, bitmap), EInvalidGraphic);
}

TEST(MetafileVector, APageOfThePicturesPhysicalSize) {
    TMetafile metafile;
    metafile.SetSize(115, 50);
    TMetafileCanvas canvas(metafile);
    canvas.GetFont().SetName("Courier New");
    canvas.GetBrush().SetColor(clWhite);
    canvas.FillRect(Rect(0, 0, 115, 50));
    canvas.GetBrush().SetColor(clBlack);
    canvas.FillRect(Rect(10, 0, 13, 45));
    canvas.GetBrush().SetColor(clWhite);
    canvas.TextOut(20, 38, "012");
    const double unit = 0.33; // mm
    struct Row {
        TVectorFormat Format;
        const char* Magic;
        const char* Size; // the page's size as the file declares it
    };
    const Row rows[] = {
        {TVectorFormat::Svg, "<?xml", "width=\"37.95mm\" height=\"16.5mm\" viewBox=\"0 0 115 50\""},
        {TVectorFormat::Eps, "%!PS-Adobe-3.0 EPSF-3.0", "%%BoundingBox: 0 0 108 47"},
        {TVectorFormat::Pdf, "%PDF-", "/MediaBox [ 0 0 107.574803 46.771654 ]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Magic);
        std::ostringstream out;
        SaveMetafileToVector(metafile, row.Format, unit, out);
        const std::string bytes = out.str();
        EXPECT_EQ(bytes.rfind(row.Magic, 0), 0u);
        EXPECT_NE(bytes.find(row.Size), std::string::npos);
        // The bar in the picture's own units, placed by one scale of the unit's length (PDF's
        // page content is compressed); the text in an embedded face, not drawn as shapes.
        if (row.Format == TVectorFormat::Svg) {
            EXPECT_NE(bytes.find("M 10 0 L 13 0 L 13 45 L 10 45 Z"), std::string::npos);
        } else if (row.Format == TVectorFormat::Eps) {
            EXPECT_NE(bytes.find("10 0 3 45 re f"), std::string::npos);
            EXPECT_NE(bytes.find("[ 0.935433 0 0 0.935433 0 0 ] concat"), std::string::npos);
            EXPECT_NE(bytes.find("%%BeginResource: font"), std::string::npos);
        } else {
            EXPECT_NE(bytes.find("/FontFile"), std::string::npos);
        }
        std::ostringstream none;
        EXPECT_THROW(SaveMetafileToVector(TMetafile{}, row.Format, unit, none), EInvalidGraphic);
        EXPECT_THROW(SaveMetafileToVector(metafile, row.Format, 0, none), EInvalidGraphic);
        TMetafile huge;
        huge.SetSize(1 << 23, 10);
        EXPECT_THROW(SaveMetafileToVector(huge, row.Format, unit, none), EInvalidGraphic);
    }
}

} // namespace
} // namespace vcl
