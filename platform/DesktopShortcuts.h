#pragma once
// The two ways a program on a Linux desktop can take a key from anywhere;
// CreateGlobalShortcut chooses between them by the session.
#include "platform/GlobalShortcut.h"

namespace tp {

// A grab on the X11 root window.
std::unique_ptr<GlobalShortcut> CreateX11GlobalShortcut();
// The desktop portal's GlobalShortcuts.
std::unique_ptr<GlobalShortcut> CreatePortalGlobalShortcut();

} // namespace tp
