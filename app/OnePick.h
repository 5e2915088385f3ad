#pragma once
// `tintpick --pick`: one pick on a frozen picture of the whole desktop, for
// scripts and keyboard shortcuts. Prints the colour as #RRGGBB and returns
// 0; Esc returns 1 and prints nothing. Shows no window but the overlay and
// keeps no tray icon; the colour also goes into the history file when that
// file can be written.
#include <string>

namespace tp {

// Runs the pick inside the running QApplication and returns the exit code.
// `historyPath` empty means the history file beside the executable.
int RunOnePick(const std::string& historyPath = {});

} // namespace tp
