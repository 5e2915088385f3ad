#pragma once
// Program-wide state shared by the windows of app/. Nothing below app/ sees
// it: lower layers get the current colour and the folders from their caller.
#include "base/AppInfo.h"
#include "colour/ColorTypes.h"

#include <string>

namespace tp {

// The one current colour of the program.
extern TRGB CurrentRGB;
// Directory of the executable, with its trailing separator (UTF-8).
extern std::string AppDir;
// The version shown in the caption and the About window.
extern std::string AppVersion;

} // namespace tp
