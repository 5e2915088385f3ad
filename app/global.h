#pragma once
// Program-wide state shared by every window.
#include "colour/ColorTypes.h"

#include <string>

namespace tp {

// The one current colour of the program.
extern TRGB CurrentRGB;
// Directory of the executable, with its trailing separator (UTF-8).
extern std::string AppDir;
// The version shown in the caption and the About window.
extern std::string AppVersion;

// Product name, and the application title (with its trailing blank) used for
// the taskbar entry and plain message boxes.
inline constexpr const char* ProductName = "Tintpick";
inline constexpr const char* AppTitle = "Tintpick ";

} // namespace tp

namespace tp {
// The maker's credit line, web address and contact, shown on the main window
// and in the About window.
inline constexpr const char* MakerCredit = "Tintpick 开源项目主页";
inline constexpr const char* MakerUrl = "https://tintpick.example.org/";
inline constexpr const char* MakerHint = "访问 Tintpick 项目主页，获取新版本、使用说明和配色资料";
inline constexpr const char* MakerEmail = "hello@tintpick.example.org";
} // namespace tp
