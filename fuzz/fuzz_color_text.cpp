// Any bytes as a pasted colour: reading must neither crash nor take a text
// it cannot write back. A colour it takes reads back from every copy format
// as itself (oklch() within one step), and a refusal always has a message.
#include "colour/ColorText.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace tp;

namespace {
void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool Near(TRGB a, TRGB b) {
    auto n = [](int x, int y) { return x - y <= 1 && y - x <= 1; };
    return n(a.r, b.r) && n(a.g, b.g) && n(a.b, b.b);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto c = ParseColorText(text);
    if (!c) {
        check(!NotAColorMessage(text).empty(), "a refusal without a message");
        return 0;
    }
    for (const CopyFormatInfo& f : CopyFormats()) {
        const auto back = ParseColorText(FormatColor(*c, f.format));
        check(back.has_value(), "a written format is refused");
        check(f.format == CopyFormat::Oklch ? Near(*back, *c) : *back == *c,
              "a written format reads back as another colour");
    }
    return 0;
}
