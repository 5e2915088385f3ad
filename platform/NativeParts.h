#pragma once
// The parts of the screen seam that only some systems have, each built in
// the file of its system (platform/CMakeLists.txt chooses them).
#include "platform/ReaderChoice.h"
#include "platform/ScreenSource.h"

#include <memory>

namespace tp {

// The system's own reader for the choice made (the X11 root window, the
// desktop portal, GDI); null where this build has none for it, and Qt's grab
// then serves.
std::unique_ptr<ScreenSource> CreateNativeReader(const ReaderChoice& choice);

// Linux builds: the X11 reader (null without the xcb headers or when the
// display does not suit it), and whether an X server answers at `display`.
std::unique_ptr<ScreenSource> CreateX11Reader();
bool X11ServerAnswers(const char* display);

} // namespace tp
