// Images as form files stream them, and the picture that holds one.
#include <sstream>

#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {
constexpr std::string_view BitmapClassName = "TBitmap";

std::string LengthPrefixed(const std::string& File) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<char>(File.size() >> (8 * i) & 0xFF);
    return out + File;
}
} // namespace

std::string TBitmap::GetData() const {
    if (!FData.empty())
        return FData;
    if (Empty())
        return {};
    std::ostringstream file;
    SaveToStream(file);
    return LengthPrefixed(file.str());
}

void TBitmap::SetData(const std::string& Value) {
    if (Value.empty()) {
        TBitmap empty;
        TakePixels(empty);
        return;
    }
    if (Value.size() < 4)
        throw EInvalidGraphic("Bitmap data too short for its size field");
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i)
        size = size << 8 | static_cast<unsigned char>(Value[static_cast<std::size_t>(i)]);
    if (size != Value.size() - 4)
        throw EInvalidGraphic("Bitmap data holds " + std::to_string(Value.size() - 4) +
                              " bytes after its size field, which says " + std::to_string(size));
    std::istringstream file(Value.substr(4));
    LoadFromStream(file);
    FData = Value;
}

TPicture::TPicture() : FBitmap(std::make_unique<TBitmap>()) {}

TPicture::~TPicture() = default;

void TPicture::SetBitmap(const TBitmap* Value) {
    if (Value)
        FBitmap->Assign(*Value);
    else
        FBitmap = std::make_unique<TBitmap>();
    Changed();
}

std::string TPicture::GetData() const {
    const std::string data = FBitmap->GetData();
    if (data.empty())
        return {};
    return static_cast<char>(BitmapClassName.size()) + std::string(BitmapClassName) + data;
}

void TPicture::SetData(const std::string& Value) {
    if (Value.empty()) {
        SetBitmap(nullptr);
        return;
    }
    const std::size_t nameLength = static_cast<unsigned char>(Value[0]);
    if (Value.size() < 1 + nameLength)
        throw EInvalidGraphic("Picture data too short for its class name");
    const std::string name = Value.substr(1, nameLength);
    if (!SameText(name, BitmapClassName))
        throw EInvalidGraphic("Unknown picture format " + name);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetData(Value.substr(1 + nameLength));
    FBitmap = std::move(bitmap);
    Changed();
}

void TPicture::Assign(const TPersistent& Source) {
    if (auto* p = dynamic_cast<const TPicture*>(&Source)) {
        if (p != this)
            SetBitmap(p->FBitmap.get());
        return;
    }
    if (auto* b = dynamic_cast<const TBitmap*>(&Source)) {
        SetBitmap(b);
        return;
    }
    TPersistent::Assign(Source);
}

} // namespace vcl
