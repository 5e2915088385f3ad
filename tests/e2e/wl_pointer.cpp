// A pointer for the Wayland end-to-end tests: a client of wlroots'
// virtual-pointer protocol (zwlr_virtual_pointer_manager_v1), which sway
// offers; sway's own cursor commands need a real pointer device, which a
// headless session has not. Reads commands from standard input, one a line,
// and keeps one virtual pointer for the whole run, so that a press, the
// moves and the release form one drag:
//   move X Y    absolute position in the layout's pixels
//   down [B]    press button B (left, right; left by default)
//   up [B]      release it
// Each command is sent and waited for before "ok" is printed.
//
// The protocol's two interfaces are described here by hand (the same tables
// wayland-scanner would write); only the requests used are called.
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <time.h>

namespace {

const wl_interface* NoTypes[] = {nullptr, nullptr, nullptr, nullptr, nullptr};

extern const wl_interface VirtualPointer;
const wl_interface* CreateTypes[] = {&wl_seat_interface, &VirtualPointer};

const wl_message PointerRequests[] = {
    {"motion", "uff", NoTypes},   {"motion_absolute", "uuuuu", NoTypes},
    {"button", "uuu", NoTypes},   {"axis", "uuf", NoTypes},
    {"frame", "", NoTypes},       {"axis_source", "u", NoTypes},
    {"axis_stop", "uu", NoTypes}, {"axis_discrete", "uufi", NoTypes},
    {"destroy", "", NoTypes},
};
const wl_interface VirtualPointer = {"zwlr_virtual_pointer_v1", 1, 9, PointerRequests, 0, nullptr};

const wl_message ManagerRequests[] = {{"create_virtual_pointer", "?on", CreateTypes}};
const wl_interface Manager = {"zwlr_virtual_pointer_manager_v1", 1, 1, ManagerRequests, 0, nullptr};

enum : uint32_t { MotionAbsolute = 1, Button = 2, Frame = 4, Destroy = 8 };
constexpr uint32_t BtnLeft = 0x110, BtnRight = 0x111;

wl_seat* seat = nullptr;
wl_proxy* manager = nullptr;

void global(void*, wl_registry* r, uint32_t name, const char* iface, uint32_t) {
    if (std::strcmp(iface, "wl_seat") == 0)
        seat = static_cast<wl_seat*>(wl_registry_bind(r, name, &wl_seat_interface, 1));
    else if (std::strcmp(iface, Manager.name) == 0)
        manager = static_cast<wl_proxy*>(wl_registry_bind(r, name, &Manager, 1));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener Listener = {global, globalRemove};

uint32_t now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint32_t>(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: wl_pointer LAYOUT_WIDTH LAYOUT_HEIGHT < commands\n");
        return 2;
    }
    const uint32_t width = static_cast<uint32_t>(std::stoul(argv[1]));
    const uint32_t height = static_cast<uint32_t>(std::stoul(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wl_pointer: no Wayland display\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &Listener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fprintf(stderr, "wl_pointer: the compositor offers no virtual pointers\n");
        return 1;
    }
    wl_proxy* pointer = wl_proxy_marshal_constructor(manager, 0, &VirtualPointer, seat, nullptr);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string cmd, arg;
        in >> cmd;
        if (cmd == "move") {
            uint32_t x = 0, y = 0;
            in >> x >> y;
            wl_proxy_marshal(pointer, MotionAbsolute, now(), x, y, width, height);
        } else if (cmd == "down" || cmd == "up") {
            in >> arg;
            wl_proxy_marshal(pointer, Button, now(), arg == "right" ? BtnRight : BtnLeft,
                             cmd == "down" ? 1u : 0u);
        } else if (!cmd.empty()) {
            std::fprintf(stderr, "wl_pointer: unknown command %s\n", cmd.c_str());
            continue;
        }
        wl_proxy_marshal(pointer, Frame);
        if (wl_display_roundtrip(display) < 0) return 1;
        std::printf("ok\n");
        std::fflush(stdout);
    }
    wl_proxy_marshal(pointer, Destroy);
    wl_proxy_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
