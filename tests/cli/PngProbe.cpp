// libpng's classic interface, since the simplified one does not report the resolution chunk.

#include "tests/cli/PngProbe.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumivex::clitest {

namespace {

struct Reader {
    const std::string* Bytes = nullptr;
    std::size_t Offset = 0;
};

void ReadFromMemory(png_structp Png, png_bytep Data, png_size_t Length) {
    auto* R = static_cast<Reader*>(png_get_io_ptr(Png));
    if (R->Offset + Length > R->Bytes->size())
        png_error(Png, "truncated");
    std::memcpy(Data, R->Bytes->data() + R->Offset, Length);
    R->Offset += Length;
}

// Holds nothing with a destructor across setjmp: Image and Rows are allocated by the caller.
bool Decode(Reader& R, PngImage& Image, std::vector<png_bytep>& Rows) {
    png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (Png == nullptr)
        return false;
    png_infop Info = png_create_info_struct(Png);
    if (Info == nullptr || setjmp(png_jmpbuf(Png))) {
        png_destroy_read_struct(&Png, &Info, nullptr);
        return false;
    }
    png_set_read_fn(Png, &R, ReadFromMemory);
    png_read_info(Png, Info);

    png_uint_32 XRes = 0, YRes = 0;
    int Unit = 0;
    if (png_get_pHYs(Png, Info, &XRes, &YRes, &Unit) && Unit == PNG_RESOLUTION_METER) {
        Image.PixelsPerMetreX = XRes;
        Image.PixelsPerMetreY = YRes;
    }

    Image.BitDepth = png_get_bit_depth(Png, Info);
    Image.ColourType = png_get_color_type(Png, Info);
    png_colorp Entries = nullptr;
    int Count = 0;
    if (png_get_PLTE(Png, Info, &Entries, &Count))
        for (int i = 0; i < Count; ++i)
            Image.Palette.push_back(std::uint32_t{Entries[i].red} << 16 |
                                    std::uint32_t{Entries[i].green} << 8 | Entries[i].blue);

    png_set_palette_to_rgb(Png);
    png_set_expand_gray_1_2_4_to_8(Png);
    png_set_strip_16(Png);
    png_set_strip_alpha(Png);
    png_set_rgb_to_gray_fixed(Png, 1, -1, -1);
    png_read_update_info(Png, Info);

    Image.Width = static_cast<int>(png_get_image_width(Png, Info));
    Image.Height = static_cast<int>(png_get_image_height(Png, Info));
    if (png_get_rowbytes(Png, Info) != static_cast<png_size_t>(Image.Width))
        png_error(Png, "unexpected row size after the grey transforms");
    Image.Grey.resize(static_cast<std::size_t>(Image.Width) *
                      static_cast<std::size_t>(Image.Height));
    Rows.resize(static_cast<std::size_t>(Image.Height));
    for (std::size_t Y = 0; Y < Rows.size(); ++Y)
        Rows[Y] = Image.Grey.data() + Y * static_cast<std::size_t>(Image.Width);
    png_read_image(Png, Rows.data());
    png_read_end(Png, nullptr);
    png_destroy_read_struct(&Png, &Info, nullptr);
    return true;
}

} // namespace

bool HasPngSignature(const std::string& Bytes) {
    return Bytes.size() >= 8 &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(Bytes.data()), 0, 8) == 0;
}

std::optional<PngImage> DecodePng(const std::string& Bytes) {
    if (!HasPngSignature(Bytes))
        return std::nullopt;
    Reader R{&Bytes, 0};
    PngImage Image;
    std::vector<png_bytep> Rows;
    if (!Decode(R, Image, Rows))
        return std::nullopt;
    return Image;
}

namespace {

// What Command prints on standard output.
std::string Output(const std::string& Command) {
    std::FILE* Pipe = ::popen(Command.c_str(), "r");
    std::string Out;
    char Buffer[256];
    while (Pipe && std::fgets(Buffer, sizeof Buffer, Pipe))
        Out += Buffer;
    if (Pipe)
        ::pclose(Pipe);
    return Out;
}

} // namespace

std::string DecodedText(const std::filesystem::path& Png) {
    std::string Out = Output(std::string(LUMIVEX_DECODE_PNG) + " '" + Png.string() + "'");
    while (!Out.empty() && Out.back() == '\n')
        Out.pop_back();
    return Out;
}

bool HaveZbar() {
    return std::system("command -v zbarimg >/dev/null 2>&1") == 0;
}

std::vector<std::string> ZbarSymbols(const std::filesystem::path& Image) {
    // --nodbus: no message bus to report to here, whose absence zbarimg would print.
    const std::string Out = Output("zbarimg --nodbus -q -Sean2.enable -Sean5.enable "
                                   "-Supca.enable -Supce.enable '" +
                                   Image.string() + "' 2>/dev/null");
    std::vector<std::string> Symbols;
    std::size_t From = 0;
    for (std::size_t To; (To = Out.find('\n', From)) != std::string::npos; From = To + 1)
        Symbols.push_back(Out.substr(From, To - From));
    std::sort(Symbols.begin(), Symbols.end());
    return Symbols;
}

} // namespace lumivex::clitest
