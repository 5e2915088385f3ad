#pragma once
// What a start with given command-line arguments does about an instance that
// is already running. Options that do one piece of work and end must run in
// their own process: handed over, their work would be lost. A new option
// goes into the table in StartKind.cpp with its kind.
#include <string>
#include <vector>

namespace tp {

enum class StartKind {
    Join,     // a plain start: hand over to the running instance, or become it
    Separate, // run beside a running instance, claiming nothing (tests)
    OneShot,  // does its work and ends: never handed over, claims nothing
};

// args: the arguments after the program name.
StartKind StartKindOf(const std::vector<std::string>& args);

} // namespace tp
