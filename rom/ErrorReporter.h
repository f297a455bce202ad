#pragma once

#include "IoError.h"

namespace rom {

// Where the byte helpers send the failures they catch. The window shows them to the user;
// tests collect them.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report(const IoError& error) = 0;
};

} // namespace rom
