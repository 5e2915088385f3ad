#pragma once
// `tintpick --export-library FILE` and `tintpick --import-library FILE.gpl`:
// the colour library to and from palette files, for scripts; and
// `tintpick --library URI --create-library`, which makes a team library's
// table on its server. Runs inside a bare QCoreApplication: no display, no
// window.
#include "app/CommandLine.h"
#include "base/AppPaths.h"

namespace tp {

// Does what the options ask, prints what was done on standard output (or
// why not on standard error) and returns the exit code: 0 done, 1 failed
// (nothing changed), 2 a command line that cannot be understood. The
// library is the one the program's window would use: --library's, or the
// one chosen in the settings, or the local file.
int RunLibraryCommand(const CommandLineOptions& options, const AppPaths& paths);

} // namespace tp
