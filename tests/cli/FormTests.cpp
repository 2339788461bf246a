// lumivex form: the PNGs that form files render to, checked pixel for pixel against the same
// components built in the test; conversions between the two forms; and the files it refuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/BarcodeBmp.h"
#include "components/BarcodeControl.h"
#include "components/DBBarcodeBmp.h"
#include "engine/Barcode.h"
#include "host/classes/Streaming.h"
#include "host/controls/Forms.h"
#include "host/graphics/Graphics.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

std::string ExampleForm() {
    return std::string(LUMIVEX_EXAMPLES_DIR) + "/Labels.dfm";
}

// Empty when the PNG in Path shows exactly Want's pixels, else what differs first. Barcodes are
// black and white only, so any other colour in Want is a difference too.
std::string PictureDifference(const std::filesystem::path& Path, const vcl::TBitmap& Want) {
    const std::optional<PngImage> Got = DecodePng(ReadFile(Path));
    if (!Got)
        return Path.string() + " is not a PNG";
    if (Got->Width != Want.GetWidth() || Got->Height != Want.GetHeight())
        return std::to_string(Got->Width) + " x " + std::to_string(Got->Height) + ", want " +
               std::to_string(Want.GetWidth()) + " x " + std::to_string(Want.GetHeight());
    for (int y = 0; y < Want.GetHeight(); ++y)
        for (int x = 0; x < Want.GetWidth(); ++x) {
            const vcl::TColor C = Want.PixelColor(x, y);
            if (C != vcl::clBlack && C != vcl::clWhite)
                return "the reference is not black and white at (" + std::to_string(x) + ", " +
                       std::to_string(y) + ")";
            if (Got->At(x, y) != (C == vcl::clBlack ? 0 : 255))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
        }
    return "";
}

std::vector<std::string> Sorted(std::vector<std::string> Names) {
    std::sort(Names.begin(), Names.end());
    return Names;
}

// What a run that was refused must leave: one line on standard error, nothing on standard
// output, and the working directory as the test laid it (no picture, no temporary file, no
// output directory).
void ExpectRefused(const Sandbox& Box, const RunResult& Run, int Status,
                   const std::vector<std::string>& Before) {
    EXPECT_EQ(Run.ExitCode, Status);
    EXPECT_EQ(Run.Out, "");
    EXPECT_EQ(Lines(Run.Err).size(), 1u) << Run.Err;
    EXPECT_EQ(Box.Entries(), Sorted(Before));
}

// The form's components built here through their setters, with the values examples/Labels.dfm
// gives them.
struct LabelsReference {
    TBarcode Shelf{nullptr};
    TBarcodeBmp Parcel{nullptr};
    TBarcodeBmp Product{nullptr};
    TBarcodeBmp Route{nullptr};

    LabelsReference() {
        Shelf.SetBounds(16, 180, 20, 60);
        Shelf.SetHint("Shelf of the parcel");
        Shelf.SetBarcodeText("SHELF-07");
        Shelf.SetBarcodeType(bcCode39);
        Shelf.SetScale(2);
        Shelf.SetInterpret(true);
        Shelf.Update();

        Parcel.SetHeight(80);
        Parcel.SetBarcodeText("Lumivex 2026");
        Parcel.SetBarcodeType(bcCode128);
        Parcel.SetScale(2);
        Parcel.SetInterpret(true);
        Parcel.SetRotate(bcNoRotate);

        Product.SetHeight(60);
        Product.SetBarcodeText("400638133393");
        Product.SetBarcodeType(bcEAN13);
        vcl::TFont Font;
        Font.SetHeight(-14);
        Font.SetName("DejaVu Sans Mono");
        Font.SetStyle(vcl::FontStyleBit(vcl::fsBold));
        Product.SetFont(&Font);
        Product.SetScale(2);

        Route.SetHeight(40);
        Route.SetBarcodeText("1234567890");
        Route.SetBarcodeType(bcInt2of5);
        Route.SetScale(1);
        Route.SetInterpret(false);
        Route.SetRotate(bcRotate90);
    }
};

TEST(FormRender, TheExampleFormGivesOnePngPerComponentAsItsComponentsDraw) {
    const LabelsReference Want;
    struct Picture {
        const char* File;
        int Width;
        int Height;
        const vcl::TBitmap& Bitmap;
    };
    // The file's order: the control first, as the form holds it, then the bitmap components.
    const std::vector<Picture> Pictures{
        {"ShelfBarcode.png", CalcWidth(2, bcCode39, "SHELF-07"), 60, Want.Shelf.GetSurface()},
        {"ParcelBarcode.png", CalcWidth(2, bcCode128, "Lumivex 2026"), 80, Want.Parcel.GetBitmap()},
        {"ProductBarcode.png", CalcWidth(2, bcEAN13, "400638133393"), 60, Want.Product.GetBitmap()},
        // Turned a quarter: the bar height is the picture's width.
        {"RouteBarcode.png", 40, CalcWidth(1, bcInt2of5, "1234567890"), Want.Route.GetBitmap()},
    };

    struct Row {
        std::vector<std::string> Options;
        std::string Directory;
        std::string Shown;
    };
    const std::vector<Row> Rows{
        {{}, "", "the current directory"},
        {{"-o", "labels/today"}, "labels/today", "labels/today"},
        {{"--output", "."}, ".", "."},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Shown);
        Sandbox Box;
        // A file of a component's name is replaced, as the help says.
        std::filesystem::create_directories(Box / R.Directory);
        Box.WriteFile((std::filesystem::path(R.Directory) / "ParcelBarcode.png").string(),
                      "not a picture");
        std::vector<std::string> Args{"form", "render", ExampleForm()};
        Args.insert(Args.end(), R.Options.begin(), R.Options.end());
        const RunResult Run = Box.Run(Args);
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        EXPECT_EQ(Run.Err, "");

        std::vector<std::string> Expected;
        std::vector<std::string> Files;
        for (const Picture& P : Pictures) {
            SCOPED_TRACE(P.File);
            const std::filesystem::path Path = R.Directory.empty()
                                                   ? std::filesystem::path(P.File)
                                                   : std::filesystem::path(R.Directory) / P.File;
            Expected.push_back(Path.string());
            Files.push_back(P.File);
            const std::optional<PngImage> Image = DecodePng(ReadFile(Box / Path.string()));
            ASSERT_TRUE(Image.has_value());
            EXPECT_EQ(Image->Width, P.Width);
            EXPECT_EQ(Image->Height, P.Height);
            EXPECT_EQ(PictureDifference(Box / Path.string(), P.Bitmap), "");
        }
        Expected.push_back("4 barcodes of " + ExampleForm() + " written to " + R.Shown);
        EXPECT_EQ(Lines(Run.Out), Expected);

        std::vector<std::string> Present;
        for (const auto& Entry : std::filesystem::directory_iterator(Box / R.Directory))
            Present.push_back(Entry.path().filename().string());
        if (R.Directory == "labels/today") {
            EXPECT_EQ(Box.Entries(), std::vector<std::string>{"labels"});
        }
        EXPECT_EQ(Sorted(Present), Sorted(Files)) << "a left-over temporary file?";
    }
}

// A data module that sets every published property of a bitmap component, an unnamed one and a
// data-aware one without a data link.
const std::string StockForm = "object Stock: TDataModule\n"
                              "  Left = 40\n"
                              "  Top = 30\n"
                              "  Height = 200\n"
                              "  Width = 300\n"
                              "  object Pallet: TBarcodeBmp\n"
                              "    Tag = 12\n"
                              "    Height = 70\n"
                              "    BarcodeText = 'Pallet 42'\n"
                              "    BarcodeType = bcCode39Ext\n"
                              "    Font.Charset = ANSI_CHARSET\n"
                              "    Font.Color = clBlack\n"
                              "    Font.Height = -16\n"
                              "    Font.Name = 'DejaVu Sans'\n"
                              "    Font.Style = [fsBold, fsItalic]\n"
                              "    Scale = 3\n"
                              "    Interpret = True\n"
                              "    Rotate = bcRotate180\n"
                              "  end\n"
                              "  object TBarcodeBmp\n"
                              "    BarcodeText = '55555'\n"
                              "    BarcodeType = bcPOSTNET\n"
                              "  end\n"
                              "  object Linked: TDBBarcodeBmp\n"
                              "  end\n"
                              "end\n";

// A form with a control turned a quarter, a hidden control and a bitmap component of no height.
const std::string CounterForm = "object Counter: TForm\n"
                                "  Caption = 'Counter'\n"
                                "  object Ticket: TBarcode\n"
                                "    Left = 8\n"
                                "    Top = 8\n"
                                "    Width = 10\n"
                                "    Height = 64\n"
                                "    BarcodeText = '0042'\n"
                                "    BarcodeType = bcCode93\n"
                                "    Rotate = bcRotate90\n"
                                "  end\n"
                                "  object Spare: TBarcode\n"
                                "    BarcodeText = 'SPARE'\n"
                                "    Visible = False\n"
                                "  end\n"
                                "  object Flat: TBarcodeBmp\n"
                                "    Height = 0\n"
                                "    BarcodeText = 'FLAT'\n"
                                "  end\n"
                                "end\n";

// A file whose root is itself a barcode component.
const std::string SoloForm = "object Solo: TBarcodeBmp\n"
                             "  BarcodeText = '12'\n"
                             "  BarcodeType = bcUPC2ext\n"
                             "end\n";

TEST(FormRender, HandWrittenFormsInEitherFormRenderAsTheirComponents) {
    TBarcodeBmp Pallet(nullptr);
    Pallet.SetTag(12);
    Pallet.SetHeight(70);
    Pallet.SetBarcodeText("Pallet 42");
    Pallet.SetBarcodeType(bcCode39Ext);
    vcl::TFont Font;
    Font.SetCharset(0);
    Font.SetColor(vcl::clBlack);
    Font.SetHeight(-16);
    Font.SetName("DejaVu Sans");
    Font.SetStyle(vcl::FontStyleBit(vcl::fsBold) | vcl::FontStyleBit(vcl::fsItalic));
    Pallet.SetFont(&Font);
    Pallet.SetScale(3);
    Pallet.SetInterpret(true);
    Pallet.SetRotate(bcRotate180);
    TBarcodeBmp Unnamed(nullptr);
    Unnamed.SetBarcodeText("55555");
    Unnamed.SetBarcodeType(bcPOSTNET);
    // Nothing renders a data-aware component without a field: it keeps the bitmap it was made
    // with.
    const TDBBarcodeBmp Linked(nullptr);

    TBarcode Ticket(nullptr);
    Ticket.SetBounds(8, 8, 10, 64);
    Ticket.SetBarcodeText("0042");
    Ticket.SetBarcodeType(bcCode93);
    Ticket.SetRotate(bcRotate90);
    Ticket.Update();

    TBarcodeBmp Solo(nullptr);
    Solo.SetBarcodeText("12");
    Solo.SetBarcodeType(bcUPC2ext);

    struct Picture {
        const char* File;
        const vcl::TBitmap& Bitmap;
    };
    struct Row {
        const char* File;
        std::string Text;
        std::vector<Picture> Pictures;
        // Standard error, line by line.
        std::vector<std::string> Notes;
    };
    const std::vector<Row> Rows{
        {"Stock.dfm",
         StockForm,
         {{"Pallet.png", Pallet.GetBitmap()},
          {"TBarcodeBmp1.png", Unnamed.GetBitmap()},
          {"Linked.png", Linked.GetBitmap()}},
         {}},
        {"Counter.dfm",
         CounterForm,
         {{"Ticket.png", Ticket.GetSurface()}},
         {"lumivex: note: Counter.dfm: Spare is not visible (Visible = False) and paints "
          "nothing; skipped",
          "lumivex: warning: Counter.dfm: Flat shows an empty bitmap (" +
              std::to_string(CalcWidth(1, bcCode128, "FLAT")) + " x 0); skipped"}},
        {"Solo.dfm", SoloForm, {{"Solo.png", Solo.GetBitmap()}}, {}},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.File);
        Sandbox Box;
        Box.WriteFile(R.File, R.Text);
        const std::string Binary = std::string(R.File) + ".bin";
        const RunResult Converted = Box.Run({"form", "convert", R.File, Binary});
        ASSERT_EQ(Converted.ExitCode, 0) << Converted.Err;
        ASSERT_TRUE(ReadFile(Box / Binary).starts_with("TPF0"));

        std::vector<std::string> PerForm[2];
        for (int i = 0; i < 2; ++i) {
            const std::string Input = i == 0 ? std::string(R.File) : Binary;
            const std::string Directory = i == 0 ? "text" : "binary";
            SCOPED_TRACE(Input);
            const RunResult Run = Box.Run({"form", "render", Input, "-o", Directory});
            ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
            std::vector<std::string> Notes = R.Notes;
            for (std::string& Note : Notes)
                if (i == 1)
                    Note.replace(Note.find(R.File), std::string(R.File).size(), Binary);
            EXPECT_EQ(Lines(Run.Err), Notes);

            std::vector<std::string> Expected;
            for (const Picture& P : R.Pictures) {
                SCOPED_TRACE(P.File);
                Expected.push_back(Directory + "/" + P.File);
                EXPECT_EQ(PictureDifference(Box / Expected.back(), P.Bitmap), "");
                PerForm[i].push_back(ReadFile(Box / Expected.back()));
            }
            const std::size_t N = R.Pictures.size();
            Expected.push_back(std::to_string(N) + (N == 1 ? " barcode of " : " barcodes of ") +
                               Input + " written to " + Directory);
            EXPECT_EQ(Lines(Run.Out), Expected);
        }
        // The binary form loads into the very same components.
        EXPECT_EQ(PerForm[0], PerForm[1]);
    }
}

TEST(FormRender, AFormWithoutBarcodesWritesNothingAndSaysSo) {
    Sandbox Box;
    Box.WriteFile("Empty.dfm", "object Empty: TDataModule\n"
                               "  object Other: TDataModule\n"
                               "  end\n"
                               "end\n");
    const RunResult Run = Box.Run({"form", "render", "Empty.dfm", "-o", "out"});
    EXPECT_EQ(Run.ExitCode, 0);
    EXPECT_EQ(Run.Out, "");
    ASSERT_EQ(Lines(Run.Err).size(), 1u) << Run.Err;
    EXPECT_TRUE(Contains(Run.Err, "lumivex: note: Empty.dfm holds no barcode components"))
        << Run.Err;
    // Not even the output directory.
    EXPECT_EQ(Box.Entries(), std::vector<std::string>{"Empty.dfm"});
}

// A form tree with every kind of value a form file holds, written by our own writer.
std::string WrittenForm() {
    vcl::TForm Form(nullptr);
    Form.SetName("Labels");
    Form.SetCaption("It's #1\r\nof two");
    auto* Bmp = new TBarcodeBmp(&Form);
    Bmp->SetName("Bmp1");
    Bmp->SetTag(-3);
    Bmp->SetBarcodeType(bcEAN8);
    Bmp->SetBarcodeText("9638507");
    Bmp->GetFont().SetStyle(vcl::FontStyleBit(vcl::fsUnderline));
    Bmp->SetRotate(bcRotate270);
    auto* Ctl = new TBarcode(&Form);
    Ctl->SetName("Ctl1");
    Ctl->SetParent(&Form);
    Ctl->SetBounds(5, 6, 70, 80);
    Ctl->SetBarcodeText("Lumivex");
    Ctl->SetHint("scan me");
    Ctl->SetVisible(false);
    auto* Module = new vcl::TDataModule(&Form);
    Module->SetName("Nested");
    return vcl::WriteComponentToString(Form, vcl::TFormFileFormat::Text);
}

TEST(FormConvert, TextToBinaryAndBackGivesTheSameBytes) {
    const std::string Text = WrittenForm();
    const std::string Binary = vcl::ObjectTextToBinary(Text);
    ASSERT_TRUE(Binary.starts_with("TPF0"));

    Sandbox Box;
    Box.WriteFile("Labels.dfm", Text);
    // An existing output is replaced.
    Box.WriteFile("Labels.bin", "old");
    struct Step {
        std::vector<std::string> Args;
        const char* Output;
        std::string Want;
    };
    const std::vector<Step> Steps{
        // The default is the form the input is not in.
        {{"form", "convert", "Labels.dfm", "Labels.bin"}, "Labels.bin", Binary},
        {{"form", "convert", "Labels.bin", "Again.dfm"}, "Again.dfm", Text},
        {{"form", "convert", "Again.dfm", "Again.bin", "--to", "binary"}, "Again.bin", Binary},
        // Kept in its own form, a file our writer wrote does not change.
        {{"form", "convert", "Labels.dfm", "Same.dfm", "--to", "text"}, "Same.dfm", Text},
        {{"form", "convert", "Labels.bin", "Same.bin", "--to", "binary"}, "Same.bin", Binary},
    };
    for (const Step& S : Steps) {
        SCOPED_TRACE(S.Output);
        const RunResult Run = Box.Run(S.Args);
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        EXPECT_EQ(Run.Err, "");
        EXPECT_EQ(Run.Out, std::string(S.Output) + "\n");
        EXPECT_EQ(ReadFile(Box / S.Output), S.Want);
    }
    EXPECT_EQ(Box.Entries(), Sorted({"Again.bin", "Again.dfm", "Labels.bin", "Labels.dfm",
                                     "Same.bin", "Same.dfm"}));
}

TEST(FormFiles, ABadFileIsOneLineNamingItsPlaceAndLeavesNothing) {
    const std::string Truncated = vcl::ObjectTextToBinary("object M: TDataModule\n"
                                                          "  object B: TBarcodeBmp\n"
                                                          "    BarcodeText = 'ABC'\n"
                                                          "  end\n"
                                                          "end\n");
    struct Row {
        const char* File;
        std::string Bytes;
        // Where the message places the fault, after "lumivex: <file>: ".
        const char* Where;
        const char* What;
        // Whether the conversion, which knows no classes, sees the fault too.
        bool Syntax;
    };
    const std::vector<Row> Rows{
        {"value.dfm", "object M: TDataModule\n  object B: TBarcodeBmp\n    Height = \n  end\nend\n",
         "line 4", "expected a value", true},
        {"unended.dfm", "object M: TDataModule\n  object B: TBarcodeBmp\n    Height = 50\n",
         "line 4", "found end of file", true},
        {"string.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n    BarcodeText = 'ABC\n  end\nend\n",
         "line 3", "unterminated string", true},
        {"notaform.dfm", "hello\n", "line 1", "expected 'object'", true},
        {"class.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n  end\n"
         "  object C: TBarcodeBitmap\n  end\nend\n",
         "line 4", "Class TBarcodeBitmap not found", false},
        {"root.dfm", "object M: TDataModuleX\nend\n", "line 1", "Class TDataModuleX not found",
         false},
        {"property.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n    Heigth = 50\n  end\nend\n", "line 3",
         "Property Heigth does not exist", false},
        {"font.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n\n    Font.Nmae = 'Arial'\n  end\n"
         "end\n",
         "line 4", "Property Nmae does not exist", false},
        {"enum.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n    BarcodeType = bcCode11\n  end\n"
         "end\n",
         "line 3", "bcCode11", false},
        {"twice.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n  end\n  object B: TBarcodeBmp\n"
         "  end\nend\n",
         "line 4", "already exists", false},
        // Too large to render: the fault shows when the component renders after loading.
        {"huge.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n    Scale = 1000000\n"
         "    BarcodeText = '1234'\n  end\nend\n",
         "line 2", "bytes", false},
        // Each fits alone (about 150 MiB), two together pass what all bitmaps may hold.
        {"two.dfm",
         "object M: TDataModule\n  object B: TBarcodeBmp\n    Height = 2000000\n"
         "    BarcodeText = '12'\n    Interpret = False\n  end\n"
         "  object C: TBarcodeBmp\n    Height = 2000000\n"
         "    BarcodeText = '12'\n    Interpret = False\n  end\nend\n",
         "line 7", "all bitmaps together", false},
        {"cut.bin", Truncated.substr(0, Truncated.size() - 3), "offset 0x",
         "unexpected end of data", true},
        {"class.bin",
         vcl::ObjectTextToBinary("object M: TDataModule\n  object B: TNothing\n"
                                 "  end\nend\n"),
         "offset 0x", "Class TNothing not found", false},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.File);
        Sandbox Box;
        Box.WriteFile(R.File, R.Bytes);
        const std::string Prefix = "lumivex: " + std::string(R.File) + ": " + R.Where;

        const RunResult Render = Box.Run({"form", "render", R.File, "-o", "out"});
        ExpectRefused(Box, Render, 1, {R.File});
        EXPECT_TRUE(Render.Err.starts_with(Prefix)) << Render.Err;
        EXPECT_TRUE(Contains(Render.Err, R.What)) << Render.Err;

        const RunResult Convert = Box.Run({"form", "convert", R.File, "out.dfm", "--to", "text"});
        if (R.Syntax) {
            ExpectRefused(Box, Convert, 1, {R.File});
            EXPECT_TRUE(Convert.Err.starts_with(Prefix)) << Convert.Err;
        } else {
            EXPECT_EQ(Convert.ExitCode, 0) << Convert.Err;
        }
    }
}

TEST(FormFiles, AMissingFileFailsAndAMistakenCommandLineIsAUsageError) {
    {
        Sandbox Box;
        for (const std::vector<std::string>& Args :
             {std::vector<std::string>{"form", "render", "absent.dfm"},
              std::vector<std::string>{"form", "render", "absent.dfm", "-o", "out"},
              std::vector<std::string>{"form", "convert", "absent.dfm", "absent.bin"}}) {
            SCOPED_TRACE(Args.size());
            const RunResult Run = Box.Run(Args);
            ExpectRefused(Box, Run, 1, {});
            EXPECT_TRUE(Contains(Run.Err, "absent.dfm")) << Run.Err;
        }
    }

    Sandbox Box;
    Box.WriteFile("a.dfm", SoloForm);
    const std::vector<std::vector<std::string>> Usage{
        {"form"},
        {"form", "paint", "a.dfm"},
        {"form", "render"},
        {"form", "render", "a.dfm", "b.dfm"},
        {"form", "render", "a.dfm", "-o"},
        {"form", "render", "a.dfm", "--dpi", "300"},
        {"form", "convert", "a.dfm"},
        {"form", "convert", "a.dfm", "b.bin", "--to", "pdf"},
    };
    for (const std::vector<std::string>& Args : Usage) {
        SCOPED_TRACE(Args.back());
        const RunResult Run = Box.Run(Args);
        EXPECT_EQ(Run.ExitCode, 2);
        EXPECT_EQ(Run.Out, "");
        EXPECT_TRUE(Run.Err.starts_with("lumivex: ")) << Run.Err;
        EXPECT_EQ(Box.Entries(), std::vector<std::string>{"a.dfm"});
    }

    const RunResult Help = Box.Run({"form", "render", "--help"});
    EXPECT_EQ(Help.ExitCode, 0);
    EXPECT_TRUE(Contains(Help.Out, "overwritten")) << Help.Out;
    EXPECT_TRUE(Contains(Help.Out, "<Name>.png")) << Help.Out;
}

} // namespace
} // namespace lumivex::clitest
