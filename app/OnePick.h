#pragma once
// `tintpick --pick`: one pick on a frozen picture of the whole desktop, for
// scripts and keyboard shortcuts. Prints the colour as #RRGGBB and returns
// 0; Esc returns 1 and prints nothing. Shows no window but the overlay and
// keeps no tray icon. The colour also goes into the history: into the
// running instance's when one runs, else into the history file.
namespace tp {

struct AppPaths;

// Runs the pick inside the running QApplication and returns the exit code.
int RunOnePick(const AppPaths& paths);

} // namespace tp
