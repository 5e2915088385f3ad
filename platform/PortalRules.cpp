#include "platform/PortalRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tp {

std::string PortalRequestPath(std::string_view uniqueName, std::string_view token) {
    std::string sender(uniqueName.starts_with(':') ? uniqueName.substr(1) : uniqueName);
    std::replace(sender.begin(), sender.end(), '.', '_');
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + std::string(token);
}

namespace {
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<std::string> FileUriToPath(std::string_view uri) {
    constexpr std::string_view scheme = "file://";
    if (uri.size() < scheme.size()) return std::nullopt;
    for (size_t i = 0; i < scheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != scheme[i]) return std::nullopt;
    std::string_view rest = uri.substr(scheme.size());
    // file:///p and file://localhost/p name this machine; any other host
    // names a file the program cannot open.
    if (rest.starts_with("localhost/")) rest.remove_prefix(9);
    if (!rest.starts_with('/')) return std::nullopt;
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '?' || rest[i] == '#') break;
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size()) return std::nullopt;
        const int hi = hexValue(rest[i + 1]), lo = hexValue(rest[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        const char decoded = static_cast<char>(hi * 16 + lo);
        if (decoded == '\0') return std::nullopt;
        path += decoded;
        i += 2;
    }
    return path;
}

ScreenshotAnswer InterpretScreenshotResponse(uint32_t response,
                                             const std::optional<std::string>& uri) {
    if (response == 1) return {PortalStatus::Cancelled, {}};
    if (response != 0) return {PortalStatus::Refused, {}};
    if (!uri) return {PortalStatus::BadReply, {}};
    auto path = FileUriToPath(*uri);
    if (!path) return {PortalStatus::BadReply, {}};
    return {PortalStatus::Ok, std::move(*path)};
}

bool PickColorMayHelp(PortalStatus status) {
    return status == PortalStatus::Refused || status == PortalStatus::Unsupported;
}

namespace {
constexpr const char* Backends =
    "GNOME 需要 xdg-desktop-portal-gnome，KDE Plasma 需要 xdg-desktop-portal-kde，"
    "sway 等 wlroots 桌面需要 xdg-desktop-portal-wlr、xdg-desktop-portal-gtk 和 pipewire";
constexpr const char* Allow =
    "请在桌面的隐私设置中允许本程序截屏（GNOME：设置 → 隐私 → 截屏；"
    "其他桌面：在权限库中授予，例如 flatpak permission-set screenshot screenshot \"\" yes），"
    "然后重试。";
} // namespace

std::string PortalMessage(PortalStatus status, const std::string& detail) {
    switch (status) {
    case PortalStatus::Ok:
        return {};
    case PortalStatus::Cancelled:
        return "截屏已取消，没有取色。";
    case PortalStatus::Refused:
        return std::string("桌面拒绝了截屏请求，无法读取屏幕。") + Allow;
    case PortalStatus::Unsupported:
        return std::string("桌面门户不肯截取屏幕") + (detail.empty() ? "" : "（" + detail + "）") +
               "。" + Allow;
    case PortalStatus::Timeout:
        return "桌面门户在 " + detail +
               " 秒内没有答复截屏请求。请确认 xdg-desktop-portal 及与桌面相配的后端正在运行（" +
               Backends + "），然后重试。";
    case PortalStatus::NoBus:
        return "无法读取屏幕：找不到 D-Bus 会话总线，无法向桌面门户请求截屏。"
               "请在图形桌面会话中启动本程序（需要 dbus-user-session 或 dbus-x11）。";
    case PortalStatus::NoPortal:
        return std::string("无法读取屏幕：桌面门户 xdg-desktop-portal 没有运行。请安装 "
                           "xdg-desktop-portal 和与桌面相配的后端（") +
               Backends + "），然后重新登录。";
    case PortalStatus::NoScreenshot:
        return std::string("无法读取屏幕：桌面门户没有截屏接口 org.freedesktop.portal.Screenshot。"
                           "请安装与桌面相配的门户后端（") +
               Backends + "），然后重新登录。";
    case PortalStatus::BadReply:
        return "桌面门户的答复中没有可读取的截图文件，无法读取屏幕。";
    case PortalStatus::Unreadable:
        return "无法读取桌面门户保存的截图 " + detail + "。";
    case PortalStatus::FrameMismatch:
        return "桌面门户的截图（" + detail + "）与显示器的布局不符，无法确定取色位置。";
    }
    return {};
}

std::array<uint8_t, 3> PortalColourBytes(double r, double g, double b) {
    auto byte = [](double f) {
        if (!(f > 0)) return uint8_t{0};
        if (f >= 1) return uint8_t{255};
        return static_cast<uint8_t>(std::nearbyint(f * 255.0));
    };
    return {byte(r), byte(g), byte(b)};
}

std::optional<std::vector<Monitor>> MonitorsInFrame(const std::vector<PixRect>& logicalScreens,
                                                    int frameWidth, int frameHeight) {
    PixRect all;
    for (const PixRect& r : logicalScreens)
        all = Unite(all, r);
    if (all.empty() || frameWidth <= 0 || frameHeight <= 0) return std::nullopt;
    const double scale = double(frameWidth) / all.width;
    // The picture's height must agree with the same scale, give or take the
    // rounding of a fractional one.
    if (std::abs(all.height * scale - frameHeight) > std::max(1.0, scale)) return std::nullopt;
    auto at = [&](int logical, int origin, int limit) {
        return std::clamp(static_cast<int>(std::lround((logical - origin) * scale)), 0, limit);
    };
    std::vector<Monitor> out;
    for (const PixRect& r : logicalScreens) {
        const int l = at(r.left, all.left, frameWidth), t = at(r.top, all.top, frameHeight);
        // A monitor on the layout's far edge reaches the picture's edge, which
        // a fractional scale may have rounded to a pixel more or less.
        const int rt = r.right() == all.right() ? frameWidth : at(r.right(), all.left, frameWidth);
        const int b =
            r.bottom() == all.bottom() ? frameHeight : at(r.bottom(), all.top, frameHeight);
        out.push_back({r, scale, {l, t, rt - l, b - t}});
    }
    return out;
}

} // namespace tp
