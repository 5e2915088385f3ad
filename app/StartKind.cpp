#include "app/StartKind.h"

#include <algorithm>
#include <string_view>

namespace tp {

namespace {

struct StartOption {
    std::string_view name;
    StartKind kind;
};

constexpr StartOption StartOptions[] = {
    {"--new-instance", StartKind::Separate},
    {"--pick", StartKind::OneShot},
    {"--export-library", StartKind::OneShot},
    {"--import-library", StartKind::OneShot},
};

// One-shot work outranks running beside, which outranks joining.
int Rank(StartKind k) {
    switch (k) {
    case StartKind::Join:
        return 0;
    case StartKind::Separate:
        return 1;
    case StartKind::OneShot:
        return 2;
    }
    return 0;
}

} // namespace

StartKind StartKindOf(const std::vector<std::string>& args) {
    StartKind kind = StartKind::Join;
    for (const std::string& arg : args) {
        const std::string_view name = std::string_view(arg).substr(0, arg.find('='));
        const auto* o = std::find_if(std::begin(StartOptions), std::end(StartOptions),
                                     [&](const StartOption& x) { return x.name == name; });
        if (o != std::end(StartOptions) && Rank(o->kind) > Rank(kind)) kind = o->kind;
    }
    return kind;
}

} // namespace tp
