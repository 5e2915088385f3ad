#pragma once
// The program's command line, parsed before any window is made, so that the
// start-up code can decide what kind of run this is (the main window, a
// one-shot pick that prints a colour and ends, or a library command).
#include <string>
#include <vector>

namespace tp {

struct CommandLineOptions {
    // --pick: one pick on a frozen picture of the screen, printed as
    // #RRGGBB; no main window, no tray icon.
    bool pick = false;
    bool help = false;
    // --export-library FILE: the library written to FILE, in the format its
    // extension names (.gpl, .css, .json).
    std::string exportLibrary;
    // --import-library FILE.gpl: a GIMP palette added to the library.
    std::string importLibrary;
    // Set when the command line cannot be understood: the message to print.
    std::string error;
};

// `args` without the program name, after Qt has taken its own options. An
// option's value follows it, or is joined to it with "=".
CommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// The library commands do one piece of work for a script and end: no
// window and no display, so the start-up code asks before it makes any GUI
// object.
bool AsksForLibraryCommand(const std::vector<std::string>& args);

// The usage text printed for --help and after an error.
std::string CommandLineUsage();

} // namespace tp
