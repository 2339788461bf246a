#pragma once
// The runtime's exception family and number conversion.

#include <stdexcept>
#include <string>

namespace vcl {

// Every exception the host raises derives from this one base, itself a std::runtime_error, so
// callers may catch vcl::Exception or std::exception alike.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Msg) : std::runtime_error(Msg) {}
    std::string GetMessage() const { return what(); }
};

class EConvertError : public Exception {
    using Exception::Exception;
};
class EReadError : public Exception {
    using Exception::Exception;
};
class EWriteError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public Exception {
    using Exception::Exception;
};
class EFCreateError : public Exception {
    using Exception::Exception;
};
class EOutOfResources : public Exception {
    using Exception::Exception;
};
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EComponentError : public Exception {
    using Exception::Exception;
};
class EClassNotFound : public Exception {
    using Exception::Exception;
};
class EListError : public Exception {
    using Exception::Exception;
};
class EPropertyError : public Exception {
    using Exception::Exception;
};
class EResNotFound : public Exception {
    using Exception::Exception;
};
class EPackageError : public Exception {
    using Exception::Exception;
};

// Decimal text (optional surrounding blanks before the number, an optional sign) to a 32-bit
// integer. Anything else, an empty text or a value out of range raises EConvertError naming the
// text.
int StrToInt(const std::string& S);

// The same conversion without an exception: Default when the text is not a number.
int StrToIntDef(const std::string& S, int Default);

} // namespace vcl
