// The preview's embedded layouts, read back as the form reader sees them, against the form's
// table of components and stored values; and its glyph, a 16-colour bitmap of two images.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/classes/Streaming.h"
#include "preview/BCModal.h"

namespace {

using namespace lumivex;

// "Object.Property = value" for every stored value in stream order; binary data as its size.
std::vector<std::string> StoredValues(const vcl::TResourceModule& Module, std::string& Glyph) {
    const std::string_view data = vcl::LoadResource(Module, vcl::RT_RCDATA, "TFBCMODAL");
    EXPECT_EQ(data.substr(0, 4), "TPF0");
    std::istringstream text(vcl::ObjectBinaryToText(std::string(data)));
    std::vector<std::string> out, objects;
    std::string line;
    bool inBinary = false;
    while (std::getline(text, line)) {
        const std::size_t at = line.find_first_not_of(' ');
        line = line.substr(at);
        if (inBinary) {
            inBinary = line.back() != '}';
            Glyph += line.substr(0, line.size() - (inBinary ? 0 : 1));
        } else if (line.starts_with("object ")) {
            objects.push_back(line.substr(7));
            out.push_back("object " + line.substr(7));
        } else if (line == "end") {
            objects.pop_back();
        } else {
            inBinary = line.ends_with("{");
            out.push_back(objects.back().substr(0, objects.back().find(':')) + "." +
                          (inBinary ? line.substr(0, line.size() - 1) + "..." : line));
        }
    }
    return out;
}

std::vector<std::string> Table(bool Vcl4) {
    std::vector<std::string> t = {"object FBCModal: TFBCModal",
                                  Vcl4 ? "FBCModal.Left = 442" : "FBCModal.Left = 798",
                                  Vcl4 ? "FBCModal.Top = 407" : "FBCModal.Top = 243",
                                  "FBCModal.BorderIcons = [biSystemMenu]",
                                  "FBCModal.BorderStyle = bsSingle",
                                  "FBCModal.Caption = 'Okanda SW - Barcode'",
                                  "FBCModal.ClientHeight = 205",
                                  "FBCModal.ClientWidth = 232"};
    if (Vcl4)
        t.push_back("FBCModal.Color = clBtnFace");
    for (const char* s : {"FBCModal.Font.Charset = DEFAULT_CHARSET",
                          "FBCModal.Font.Color = clWindowText", "FBCModal.Font.Height = -11",
                          "FBCModal.Font.Name = 'MS Sans Serif'", "FBCModal.Font.Style = []"})
        t.push_back(s);
    if (Vcl4)
        t.push_back("FBCModal.OldCreateOrder = False");
    for (const char* s : {"FBCModal.Position = poScreenCenter",
                          "FBCModal.PixelsPerInch = 96",
                          "FBCModal.TextHeight = 13",
                          "object Panel1: TPanel",
                          "Panel1.Left = 8",
                          "Panel1.Top = 8",
                          "Panel1.Width = 217",
                          "Panel1.Height = 161",
                          "Panel1.BevelInner = bvRaised",
                          "Panel1.BevelOuter = bvLowered",
                          "Panel1.TabOrder = 0",
                          "object Image1: TImage",
                          "Image1.Left = 2",
                          "Image1.Top = 2",
                          "Image1.Width = 213",
                          "Image1.Height = 157",
                          "Image1.Align = alClient",
                          "Image1.AutoSize = True",
                          "Image1.Center = True",
                          "object BitBtn1: TBitBtn",
                          "BitBtn1.Left = 147",
                          "BitBtn1.Top = 177",
                          "BitBtn1.Width = 75",
                          "BitBtn1.Height = 25",
                          "BitBtn1.Caption = '&Okay'",
                          "BitBtn1.ModalResult = 1",
                          "BitBtn1.TabOrder = 1",
                          "BitBtn1.Glyph.Data = ...",
                          "BitBtn1.NumGlyphs = 2"})
        t.push_back(s);
    return t;
}

TEST(PreviewLayout, EachGenerationStoresTheFormsTableInStreamOrder) {
    std::string glyph40, glyph30;
    EXPECT_EQ(StoredValues(BCModalResources40, glyph40), Table(true));
    EXPECT_EQ(StoredValues(BCModalResources30, glyph30), Table(false));
    EXPECT_EQ(glyph40, glyph30);
    EXPECT_EQ(glyph40.size(), 2u * 482);
}

TEST(PreviewLayout, TheGlyphIsTwoSixteenColourImagesOnOlive) {
    TFBCModal form(nullptr);
    const vcl::TBitmap& glyph = form.BitBtn1->GetGlyph();
    const std::string data = glyph.GetData();
    ASSERT_EQ(data.size(), 482u);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
    EXPECT_EQ(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24, 478u);
    EXPECT_EQ(data.substr(4, 2), "BM");
    EXPECT_EQ(byte(4 + 28), 4) << "bits per pixel";
    EXPECT_EQ(byte(4 + 46), 16) << "palette entries";
    ASSERT_EQ(glyph.GetWidth(), 36);
    ASSERT_EQ(glyph.GetHeight(), 18);

    const vcl::TColor olive = vcl::RGB(128, 128, 0);
    auto count = [&](int Left, vcl::TColor C) {
        int n = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = Left; x < Left + 18; ++x)
                n += glyph.PixelColor(x, y) == C;
        return n;
    };
    EXPECT_EQ(glyph.PixelColor(0, 17), olive);
    EXPECT_EQ(glyph.PixelColor(18, 17), olive);
    EXPECT_GT(count(0, vcl::RGB(0, 128, 0)), 20) << "the green mark";
    EXPECT_GT(count(0, vcl::RGB(0, 0, 128)), 5) << "its dark blue shading";
    EXPECT_EQ(count(18, vcl::RGB(0, 128, 0)), 0);
    EXPECT_GT(count(18, vcl::RGB(128, 128, 128)), 20) << "the grey outline";
    EXPECT_GT(count(18, vcl::RGB(255, 255, 255)), 5) << "its white edge";
    EXPECT_EQ(count(0, olive) + count(0, vcl::RGB(0, 128, 0)) + count(0, vcl::RGB(0, 0, 128)),
              18 * 18);
    // Written back unchanged, as it was read.
    vcl::TBitmap copy;
    copy.SetData(data);
    EXPECT_EQ(copy.GetData(), data);
}

} // namespace

namespace {

// The form read from its resource writes back as the layout it was read from, in either form:
// every control streams both ways, the glyph's 16-colour file included.
TEST(PreviewLayout, TheFormWritesBackItsOwnLayout) {
    const TFBCModal form(nullptr);
    const std::string binary(vcl::LoadResource(BCModalResources40, vcl::RT_RCDATA, "TFBCMODAL"));
    EXPECT_EQ(vcl::WriteComponentToString(form, vcl::TFormFileFormat::Binary), binary);
    EXPECT_EQ(vcl::WriteComponentToString(form, vcl::TFormFileFormat::Text),
              vcl::ObjectBinaryToText(binary));
}

} // namespace
