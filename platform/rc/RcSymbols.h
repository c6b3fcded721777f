// The compiler's built-in names, defined before a script is read.
#pragma once

#include <span>

namespace rc {

struct BuiltinSymbol {
    const char* name;
    const char* value; // as a #define would give it
};

std::span<const BuiltinSymbol> BuiltinSymbols();

} // namespace rc
