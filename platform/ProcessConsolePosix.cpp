// A program on Linux writes to the terminal it was started from as it is.
#include "platform/ProcessConsole.h"

namespace tp {

void UseStartingConsole() {}

} // namespace tp
