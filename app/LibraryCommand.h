#pragma once
// `tintpick --export-library FILE` and `tintpick --import-library FILE.gpl`:
// the colour library to and from palette files, for scripts. Runs inside a
// bare QCoreApplication: no display, no window.
#include "app/CommandLine.h"

namespace tp {

// Does what the options ask, prints what was done on standard output (or
// why not on standard error) and returns the exit code: 0 done, 1 failed
// (nothing changed), 2 a command line that cannot be understood.
int RunLibraryCommand(const CommandLineOptions& options);

} // namespace tp
