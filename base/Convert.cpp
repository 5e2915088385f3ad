#include "base/Convert.h"

namespace tp {

bool TryStrToInt(const std::string& text, int32_t& out) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    // Accumulate in 64 bits; anything past the 32-bit range fails.
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > int64_t{1} << 32) return false;
    }
    if (base == 16 && !negative && magnitude <= 0xFFFFFFFFll) {
        // Hexadecimal literals wrap into the signed range ($FFFFFFFF is -1).
        out = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        return true;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
}

int32_t StrToInt(const std::string& text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value)) throw Error("'" + text + "' is not a valid integer value");
    return value;
}

} // namespace tp
