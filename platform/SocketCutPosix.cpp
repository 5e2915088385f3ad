#include "platform/SocketCut.h"

#include <sys/socket.h>

namespace tp {

void CutSocket(long long socket) {
    ::shutdown(static_cast<int>(socket), SHUT_RDWR);
}

} // namespace tp
