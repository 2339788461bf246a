#pragma once
// Reads a rendered bitmap back with zxing-cpp, so that a test checks what a scanner sees rather
// than what the encoder meant to draw.

#include <functional>
#include <string>

#include <ZXing/BarcodeFormat.h>
#include <gtest/gtest.h>

#include "engine/Barcode.h"
#include "host/graphics/Graphics.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {

struct DecodeOptions {
    // The symbologies to look for. A set, because an EAN-13 that begins with 0 may come back as
    // UPC-A and the other way round.
    ZXing::BarcodeFormats Formats = ZXing::BarcodeFormat::None;
    // Code 39 full ASCII: the pairs are read back as the bytes they stand for.
    bool Code39Extended = false;
    // A symbol turned a quarter has vertical rows; zxing looks for those only when asked.
    bool TryRotate = false;
    // White pixels added on every side: the decoder wants some room beyond the symbol, and the
    // engine draws no quiet zone above or below the bars.
    int Border = 10;
};

struct DecodeResult {
    // A symbol of one of the asked formats was found and its check passed.
    bool Read = false;
    // The decoded data, one byte per data character as the symbol carries it (an FNC4 byte is
    // one byte of 128 or more); zxing's own text conversion is not applied.
    std::string Bytes;
    // zxing's rendering of the data as text, UTF-8 (the bytes read as Latin-1 for Code 128).
    std::string Utf8;
    // "]C0" for Code 128, "]C1" when it begins with FNC1 (GS1), "]A0" for Code 39 and so on.
    std::string SymbologyIdentifier;
    ZXing::BarcodeFormat Format = ZXing::BarcodeFormat::None;
    // The reading direction, in degrees clockwise from left to right: 0, 90, 180 or 270.
    int Orientation = 0;
    // Why nothing was read, for the failure message.
    std::string Error;
};

// Whether zxing reads the symbology at all (it reads neither POSTNET nor a lone add-on).
bool DecoderReads(TBarCodeType BarcodeType);

// The options that read a bitmap that CreateBC drew for BarcodeType and turned by Rotate.
DecodeOptions DecodeOptionsFor(TBarCodeType BarcodeType, TbcRotate Rotate);

// Decodes Bitmap, whatever its pixel format. Asking for no format at all reads nothing.
DecodeResult Decode(const vcl::TBitmap& Bitmap, const DecodeOptions& Options);

// What a test asks of one reading, beyond that it reads at all and in the rotation's direction:
// empty when the reading is right, else why it is not.
using ReadCheck = std::function<std::string(const DecodeResult&)>;

// Why Got is not a symbol of Format carrying Bytes; empty when it is.
std::string NotReadAs(const DecodeResult& Got, ZXing::BarcodeFormat Format,
                      const std::string& Bytes);

// The check that a reading is of Format and carries Bytes.
ReadCheck ReadsAs(ZXing::BarcodeFormat Format, const std::string& Bytes);

// CreateBC draws Text at every scale from 1 to 3 and every rotation, without and with the printed
// text, on a bitmap Height tall prepared as the components prepare theirs; each is read back and
// must read, pass Check and come in the direction the rotation turned the start to. The first
// rendering that fails is told.
testing::AssertionResult ReadsBackEverywhere(TBarCodeType Type, const std::string& Text,
                                             const ReadCheck& Check, int Height = 60);

} // namespace lumivex::test
