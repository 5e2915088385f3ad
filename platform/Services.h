#pragma once
// The operating-system services and the skin a window needs, handed to it when it is
// built, so that tests can hand it fakes instead.
namespace tp {

class Beeper;
class Clipboard;
class ErrorReporter;
class ScreenSource;
class Shell;
struct SkinData;

struct Services {
    Clipboard* clipboard = nullptr;
    Shell* shell = nullptr;
    Beeper* beeper = nullptr;
    ErrorReporter* errors = nullptr;
    ScreenSource* screen = nullptr;
    const SkinData* skin = nullptr;
};

} // namespace tp
