// Windows: every session that can start the program has a desktop of its
// own, and Qt's windows platform needs no connection to reach it, so there
// is no missing display to explain.
#include "platform/DisplayCheck.h"

namespace tp {

std::string NoDisplayMessage() {
    return {};
}

} // namespace tp
