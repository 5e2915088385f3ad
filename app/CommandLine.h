#pragma once
// The program's command line, parsed before any window is made, so that the
// start-up code can decide what kind of run this is (the main window, a
// one-shot pick that prints a colour and ends, or a library command).
#include <optional>
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
    bool version = false; // --version: "tintpick 1.2.0"
    // --export-library FILE: the library written to FILE, in the format its
    // extension names (.gpl, .css, .json).
    std::string exportLibrary;
    // --import-library FILE.gpl: a GIMP palette added to the library.
    std::string importLibrary;
    // --library LOCATION: the library this run uses instead of the one in
    // the settings, a file or a server (library/LibraryLocation.h).
    std::string library;
    // --create-library: table Colors made in --library's server database.
    bool createLibrary = false;
    // Set when the command line cannot be understood: the message to print.
    std::string error;
};

// `args` without the program name, after Qt has taken its own options. An
// option's value follows it, or is joined to it with "=".
CommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// What a start does about an instance that is already running.
enum class StartKind {
    Join,     // a plain start: hand over to the running instance, or become it
    Separate, // run beside a running instance, claiming nothing
    OneShot,  // does its work and ends: never handed over, claims nothing
};
StartKind StartKindOf(const CommandLineOptions& options);

// The library commands do one piece of work for a script and end: no
// window and no display, so the start-up code asks before it makes any GUI
// object.
bool AsksForLibraryCommand(const std::vector<std::string>& args);

// The usage text printed for --help and after an error.
std::string CommandLineUsage();

// "tintpick 1.2.0" and a line end, printed for --version.
std::string VersionText();

// The text to print when the command line asks only to be told something
// (--help, -h, --version) anywhere in it: such a run needs no display, makes
// no window and ends with status 0. `args` as the program got them, before
// Qt has seen them.
std::optional<std::string> InformationAskedFor(const std::vector<std::string>& args);

} // namespace tp
