// Bitmap files on streams that cannot seek, start mid-way, fail or pretend to be huge, and on
// disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/BitmapTesting.h"
#include "tests/host/BmpFiles.h"

namespace vcl {
namespace {

using namespace vcl::testing;

std::string Save(const TBitmap& B) {
    std::ostringstream out(std::ios::binary);
    B.SaveToStream(out);
    return out.str();
}

TEST(BmpStreams, ReadsFromAStreamThatCannotSeek) {
    const BmpRecipe gapped{.Width = 3,
                           .Height = 1,
                           .Bits = 8,
                           .ColorsUsed = 2,
                           .Palette = {clBlack, clWhite},
                           .Offset = 14 + 40 + 8 + 5,
                           .Rows = {{1, 0, 1}}};
    const std::string files[] = {Save(*MakePattern(pf24bit, 7, 3)),
                                 Save(*MakePattern(pf1bit, 11, 2)), Build(gapped)};
    for (const std::string& file : files) {
        TBitmap want;
        std::istringstream seekable(file);
        want.LoadFromStream(seekable);

        VirtualFile pipe(file, file.size(), false);
        std::istream in(&pipe);
        TBitmap got;
        got.LoadFromStream(in);
        EXPECT_EQ(Difference(Snapshot(got), Snapshot(want)), "");

        for (std::size_t n : {std::size_t{0}, std::size_t{13}, std::size_t{40}, std::size_t{58},
                              file.size() - 4, file.size() - 1}) {
            SCOPED_TRACE(n);
            VirtualFile cut(file.substr(0, n), n, false);
            std::istream cutIn(&cut);
            EXPECT_THROW(got.LoadFromStream(cutIn), EInvalidGraphic);
            EXPECT_EQ(Difference(Snapshot(got), Snapshot(want)), "");
        }
    }
}

TEST(BmpStreams, OffsetsCountFromWhereTheFileStartsAndReadingStopsAfterIt) {
    const BmpRecipe gapped{.Width = 2,
                           .Height = 2,
                           .Offset = 54 + 3,
                           .Rows = {Bgr({clRed, clBlue}), Bgr({clLime, clWhite})}};
    const std::string file = Build(gapped);
    for (bool seekable : {true, false}) {
        SCOPED_TRACE(seekable ? "seekable" : "pipe");
        const std::string all = "junk!" + file + "TAIL";
        VirtualFile source(all, all.size(), seekable);
        std::istream in(&source);
        in.ignore(5);
        TBitmap b;
        b.LoadFromStream(in);
        EXPECT_EQ(b.GetCanvas().GetPixel(0, 0), clLime);
        EXPECT_EQ(b.GetCanvas().GetPixel(1, 1), clBlue);
        std::string rest;
        in >> rest;
        EXPECT_EQ(rest, "TAIL");
    }
}

TEST(BmpStreams, StreamExceptionsBecomeInvalidGraphic) {
    const std::string file = Save(*MakePattern(pf8bit, 5, 5));
    auto b = MakePattern(pf24bit, 2, 2);
    const Snapshot before(*b);
    for (std::size_t n : {std::size_t{0}, std::size_t{20}, std::size_t{100}, file.size() - 1}) {
        SCOPED_TRACE(n);
        std::istringstream in(file.substr(0, n));
        in.exceptions(std::ios::failbit | std::ios::badbit | std::ios::eofbit);
        EXPECT_THROW(b->LoadFromStream(in), EInvalidGraphic);
        EXPECT_EQ(Difference(Snapshot(*b), before), "");
    }
}

TEST(BmpStreams, AFileTooLargeForMemoryRaisesOutOfResourcesBeforeReadingPixels) {
    // 1.2 GB of pixels that the stream claims to hold; nothing is read or allocated for them.
    const BmpRecipe recipe{.Width = 20000, .Height = 20000};
    const std::string header = Build(recipe);
    const std::uint64_t length = header.size() + std::uint64_t{60000} * 20000;
    for (bool seekable : {true, false}) {
        SCOPED_TRACE(seekable ? "seekable" : "pipe");
        auto b = MakePattern(pf8bit, 3, 3);
        const Snapshot before(*b);
        VirtualFile huge(header, length, seekable);
        std::istream in(&huge);
        try {
            b->LoadFromStream(in);
            ADD_FAILURE() << "no exception";
        } catch (const EOutOfResources& e) {
            EXPECT_NE(std::string(e.what()).find("20000 x 20000"), std::string::npos) << e.what();
        }
        EXPECT_EQ(Difference(Snapshot(*b), before), "");
    }
}

TEST(BmpSave, EmptyBitmapsAndFailingStreamsRaiseWriteError) {
    TBitmap empty;
    std::ostringstream out;
    EXPECT_THROW(empty.SaveToStream(out), EWriteError);
    empty.SetSize(0, 5);
    EXPECT_THROW(empty.SaveToStream(out), EWriteError);

    auto b = MakePattern(pf24bit, 4, 4);
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_THROW(b->SaveToStream(broken), EWriteError);

    // A stream that takes nothing, once quietly and once with exceptions switched on.
    for (bool exceptions : {false, true}) {
        VirtualFile readOnly("", 0, true);
        std::ostream sink(&readOnly);
        if (exceptions)
            sink.exceptions(std::ios::badbit | std::ios::failbit);
        EXPECT_THROW(b->SaveToStream(sink), EWriteError);
    }
}

TEST(BmpFiles, RoundTripThroughAFile) {
    ScratchDir dir;
    for (TPixelFormat f : {pf1bit, pf8bit, pf24bit}) {
        SCOPED_TRACE(FormatName(f));
        auto b = MakePattern(f, 13, 4);
        const std::string name = dir.File(std::string(FormatName(f)) + ".bmp");
        b->SaveToFile(name);
        TBitmap back;
        back.LoadFromFile(name);
        EXPECT_EQ(Difference(Snapshot(back), Snapshot(*b)), "");
        // Saving again replaces the file rather than appending to it.
        MakePattern(f, 2, 2)->SaveToFile(name);
        back.LoadFromFile(name);
        EXPECT_EQ(back.GetWidth(), 2);
    }
}

TEST(BmpFiles, FileErrorsNameTheFileAndChangeNothing) {
    ScratchDir dir;
    auto b = MakePattern(pf8bit, 3, 3);
    const Snapshot before(*b);

    const std::string missing = dir.File("missing.bmp");
    try {
        b->LoadFromFile(missing);
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }

    const std::string unreachable = dir.File("no-such-dir/out.bmp");
    try {
        b->SaveToFile(unreachable);
        ADD_FAILURE() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find(unreachable), std::string::npos) << e.what();
    }

    const std::string junk = dir.File("junk.bmp");
    std::ofstream(junk) << "BM but not much else";
    try {
        b->LoadFromFile(junk);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find(junk), std::string::npos) << e.what();
    }
    EXPECT_THROW(b->LoadFromFile(dir.File("")), EFOpenError); // the directory itself
    EXPECT_EQ(Difference(Snapshot(*b), before), "");

    // An empty bitmap is refused before any file is made.
    const std::string none = dir.File("empty.bmp");
    EXPECT_THROW(TBitmap().SaveToFile(none), EWriteError);
    EXPECT_FALSE(std::filesystem::exists(none));
}

} // namespace
} // namespace vcl
