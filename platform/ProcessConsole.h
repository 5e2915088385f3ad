#pragma once
// The terminal a start came from, for what the program prints there.

namespace tp {

// A Windows program built for the desktop gets no console of its own: when
// started from one, its output (the usage, the version, --pick's colour,
// messages) goes to that console, unless it was redirected already. Does
// nothing where every program has its terminal (Linux).
void UseStartingConsole();

} // namespace tp
