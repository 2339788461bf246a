#pragma once
// A command line that asks for something we cannot do, as opposed to a failure while doing it.

#include <stdexcept>

namespace lumivex::cli {

// main reports it with exit status 2, the status of CLI11's own usage errors; other exceptions
// mean the work itself failed (status 1).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace lumivex::cli
