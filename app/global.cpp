#include "app/global.h"

namespace tp {

TRGB CurrentRGB{255, 255, 255};
std::string AppDir;
std::string AppVersion;

} // namespace tp
