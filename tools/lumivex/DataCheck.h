#pragma once
// What the command line does with data that a symbology would change: by default it refuses it,
// naming the problem and its position, rather than print a label that scans as something else.

#include <string>

#include "engine/Symbology.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

// Data refused because the symbology would change it; exit status 2 like a usage error.
class DataRefused : public UsageError {
public:
    using UsageError::UsageError;
};

// A byte as messages show it: printable ones quoted, the rest as hex, so that a dropped control
// byte is visible.
std::string DescribeByte(unsigned char c);

// The text to give the components for Data, which must come out of the symbology unchanged:
// every byte carried, no more characters than it holds, and a check digit given with a retail
// number (13-digit EAN-13, 12-digit UPC-A, 8-digit EAN-8, 8-digit UPC-E from 0) equal to the
// computed one, in which case it is taken off, as the components compute it themselves. Short
// retail numbers stay as they are: the components pad them with leading zeros.
// Raises DataRefused with one line: what, where (positions count bytes from 1), and why.
std::string CheckedData(const TSymbology& S, const std::string& Data);

} // namespace lumivex::cli
