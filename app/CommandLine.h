#pragma once
// The program's command line, parsed before any window is made, so that the
// start-up code can decide what kind of run this is (the main window, or a
// one-shot pick that prints a colour and ends).
#include <string>
#include <vector>

namespace tp {

// Every option also says, in StartKindOf, what it does about an instance
// that is already running.
struct CommandLineOptions {
    // --pick: one pick on a frozen picture of the screen, printed as
    // #RRGGBB; no main window, no tray icon.
    bool pick = false;
    // --new-instance: run beside an instance that is already running (for
    // tests that need two).
    bool newInstance = false;
    bool help = false;
    // Set when the command line cannot be understood: the message to print.
    std::string error;
};

// `args` without the program name, after Qt has taken its own options.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// What a start does about an instance that is already running.
enum class StartKind {
    Join,     // a plain start: hand over to the running instance, or become it
    Separate, // run beside a running instance, claiming nothing
    OneShot,  // does its work and ends: never handed over, claims nothing
};
StartKind StartKindOf(const CommandLineOptions& options);

// The usage text printed for --help and after an error.
std::string CommandLineUsage();

} // namespace tp
