#pragma once
// The program's command line, parsed before any window is made, so that the
// start-up code can decide what kind of run this is.
#include <string>
#include <vector>

namespace tp {

struct CommandLineOptions {
    bool help = false;
    // --export-library FILE: the library written to FILE, in the format its
    // extension names (.gpl, .css, .json).
    std::string exportLibrary;
    // --import-library FILE.gpl: a GIMP palette added to the library.
    std::string importLibrary;
    // Set when the command line cannot be understood: the message to print.
    std::string error;
};

// `args` without the program name. An option's value follows it, or is
// joined to it with "=".
CommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// The library commands do one piece of work for a script and end: no
// window, no display, never handed to a running instance.
bool AsksForLibraryCommand(const std::vector<std::string>& args);

// The usage text printed for --help and after an error.
std::string CommandLineUsage();

} // namespace tp
