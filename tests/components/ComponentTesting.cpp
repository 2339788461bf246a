// Reference renders and comparisons for the component tests.
#include "tests/components/ComponentTesting.h"

namespace lumivex::testing {

std::unique_ptr<vcl::TBitmap> Reference(const Settings& S) {
    auto b = std::make_unique<vcl::TBitmap>();
    b->GetCanvas().GetBrush().SetColor(vcl::clWhite);
    b->GetCanvas().GetBrush().SetStyle(vcl::bsSolid);
    b->SetMonochrome(true);
    b->SetPixelFormat(vcl::pf8bit);
    b->GetCanvas().GetFont().SetName(S.FontName);
    b->SetHeight(S.Height);
    CreateBC(*b, S.Type, S.Scale, S.Height, S.Text, S.Interpret, S.Rotate);
    return b;
}

std::string PixelDifference(const vcl::TBitmap& Got, const vcl::TBitmap& Want) {
    if (Got.GetWidth() != Want.GetWidth() || Got.GetHeight() != Want.GetHeight())
        return std::to_string(Got.GetWidth()) + " x " + std::to_string(Got.GetHeight()) +
               ", want " + std::to_string(Want.GetWidth()) + " x " +
               std::to_string(Want.GetHeight());
    for (int y = 0; y < Got.GetHeight(); ++y)
        for (int x = 0; x < Got.GetWidth(); ++x)
            if (Got.PixelColor(x, y) != Want.PixelColor(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
    return "";
}

void Scribble(vcl::TBitmap& B, vcl::TColor Color) {
    for (int y = 0; y < B.GetHeight(); ++y)
        for (int x = 0; x < B.GetWidth(); ++x)
            B.GetCanvas().SetPixel(x, y, Color);
}

std::vector<std::string> PropertyNames(const vcl::TClassInfo& Info) {
    std::vector<std::string> names;
    for (const vcl::TPropInfo* p : Info.Properties())
        names.push_back(p->Name);
    return names;
}

} // namespace lumivex::testing
