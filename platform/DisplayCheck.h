#pragma once
#include <string>

namespace tp {

// Watches Qt's start-up while it lives. Should the platform plugin give up
// because no display can be reached, the program says so plainly, naming
// DISPLAY and WAYLAND_DISPLAY and what is wrong with each, and ends with
// code 1 instead of Qt's abort and its advice to reinstall. Any other
// failure of the start-up reaches Qt's own handling unchanged.
class DisplayStartWatch {
public:
    DisplayStartWatch();
    ~DisplayStartWatch();
    DisplayStartWatch(const DisplayStartWatch&) = delete;
    DisplayStartWatch& operator=(const DisplayStartWatch&) = delete;
};

// Empty when an X server (DISPLAY) or a Wayland compositor (WAYLAND_DISPLAY)
// answers; otherwise the message that says which is missing or unreachable.
std::string NoDisplayMessage();

} // namespace tp
