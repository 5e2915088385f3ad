#pragma once
// The program's command line, parsed before any window is made, so that the
// start-up code can decide what kind of run this is (the main window, or a
// one-shot pick that prints a colour and ends).
#include <string>
#include <vector>

namespace tp {

struct CommandLineOptions {
    // --pick: one pick on a frozen picture of the screen, printed as
    // #RRGGBB; no main window, no tray icon.
    bool pick = false;
    bool help = false;
    // Set when the command line cannot be understood: the message to print.
    std::string error;
};

// `args` without the program name, after Qt has taken its own options.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// The usage text printed for --help and after an error.
std::string CommandLineUsage();

} // namespace tp
