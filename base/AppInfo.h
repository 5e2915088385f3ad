#pragma once
// The program's fixed facts: its names, version and the maker's address.
// Every layer may show them; none may change them.

namespace tp {

// Product name: the window class, the title of the program's own message
// boxes and the tray icon's hint.
inline constexpr const char* ProductName = "Tintpick";
// Shown in the main window's caption and the About window.
inline constexpr const char* AppVersionText = "1.2.0";

// The maker's credit line, web address and contact, shown on the main window
// and in the About window.
inline constexpr const char* MakerCredit = "Tintpick 开源项目主页";
inline constexpr const char* MakerUrl = "https://tintpick.example.org/";
inline constexpr const char* MakerHint = "访问 Tintpick 项目主页，获取新版本、使用说明和配色资料";
inline constexpr const char* MakerEmail = "hello@tintpick.example.org";

} // namespace tp
