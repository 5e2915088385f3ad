#include "platform/DisplayCheck.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

#if TINTPICK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace tp {

namespace {
bool xServerAnswers([[maybe_unused]] const char* display) {
#if TINTPICK_HAVE_XCB
    xcb_connection_t* c = xcb_connect(display, nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
#else
    return false;
#endif
}

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

// Qt's warnings while it looks for a platform are held back: when the reason
// is a missing display, the plain message says it better; otherwise they
// are passed on as they came.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
QtMessageHandler previousHandler = nullptr;
QList<HeldMessage> held;

void passOnHeld() {
    for (const HeldMessage& m : std::exchange(held, {})) {
        const QMessageLogContext context(m.file.constData(), m.line, m.function.constData(),
                                         m.category.constData());
        previousHandler(m.type, context, m.text);
    }
}

void watchStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const std::string message = NoDisplayMessage();
        if (!message.empty()) {
            std::fprintf(stderr, "%s\n", message.c_str());
            std::fflush(stderr);
            // The application object is half built: nothing may run after this.
            ::_exit(1);
        }
        passOnHeld();
    } else if (context.category && std::strncmp(context.category, "qt.qpa", 6) == 0) {
        held.push_back(
            {type, context.file, context.function, context.category, context.line, text});
        return;
    }
    previousHandler(type, context, text);
}
} // namespace

std::string NoDisplayMessage() {
    const std::string x = problemOf("DISPLAY", xServerAnswers);
    if (x.empty()) return {};
    const std::string wayland = problemOf("WAYLAND_DISPLAY", compositorAnswers);
    if (wayland.empty()) return {};
    return "Tintpick 需要图形界面（X11 或 Wayland 会话）才能运行，但没有可用的显示：" + x + "；" +
           wayland + "。";
}

DisplayStartWatch::DisplayStartWatch() {
    previousHandler = qInstallMessageHandler(watchStart);
}

DisplayStartWatch::~DisplayStartWatch() {
    qInstallMessageHandler(previousHandler);
    passOnHeld();
}

} // namespace tp
