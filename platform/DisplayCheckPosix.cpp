// A display on X11 or Wayland systems: an X server at $DISPLAY, or a
// compositor's socket at $WAYLAND_DISPLAY.
#include "platform/DisplayCheck.h"
#include "platform/NativeParts.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tp {

namespace {
bool compositorAnswers(const char* name) {
    std::string path = name;
    if (path.front() != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) return false;
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// What is wrong with one variable, or empty when its display answers.
std::string problemOf(const char* variable, bool (*answers)(const char*)) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return std::string(variable) + " 未设置";
    if (answers(value)) return {};
    return std::string(variable) + "=" + value + " 无法连接";
}

} // namespace

std::string NoDisplayMessage() {
    const std::string x = problemOf("DISPLAY", X11ServerAnswers);
    if (x.empty()) return {};
    const std::string wayland = problemOf("WAYLAND_DISPLAY", compositorAnswers);
    if (wayland.empty()) return {};
    return "Tintpick 需要图形界面（X11 或 Wayland 会话）才能运行，但没有可用的显示：" + x + "；" +
           wayland + "。";
}

} // namespace tp
