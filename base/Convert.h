#pragma once
// Text-to-number conversion with the program's own error texts. Failures are
// exceptions: they travel to the event handler's guard, which shows them.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tp {

// Any failure that should reach the user as a message box.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Converts decimal text, or hexadecimal text written with "0x", "0X" or "$"
// after an optional sign, into a 32-bit signed integer. Leading blanks are
// skipped. Throws Error("'<text>' is not a valid integer value") for anything
// else, including values that do not fit in 32 bits.
int32_t StrToInt(const std::string& text);

// Same rules; returns false instead of throwing.
bool TryStrToInt(const std::string& text, int32_t& out);

} // namespace tp
